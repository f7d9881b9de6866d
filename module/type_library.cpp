#include "module/type_library.h"

#ifdef _WIN32

#include "platform/com_ptr.h"
#include "platform/result.h"

#include <oleauto.h>

#include <vector>

namespace {
std::wstring ModuleFilePathWide(HINSTANCE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}
}  // namespace

HRESULT RegisterModuleTypeLib(ModuleHandle module) {
    std::wstring path = ModuleFilePathWide(module);
    RETURN_HR_IF(E_FAIL, path.empty());
    ComPtr<ITypeLib> typeLib;
    RETURN_IF_FAILED(typeLib.receive([&](auto out) { return LoadTypeLibEx(path.c_str(), REGKIND_NONE, out); }));
    return RegisterTypeLib(typeLib.get(), path.data(), nullptr);
}

#else

HRESULT RegisterModuleTypeLib(ModuleHandle) { return S_OK; }

#endif
