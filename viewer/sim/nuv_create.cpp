#include "agent/viewer_interfaces.h"

extern "C" HRESULT STDMETHODCALLTYPE NUVCoCreateInstance(REFCLSID, IUnknown*, DWORD, REFIID, void** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
