// Temporary stand-in until the agent object lands: an object that answers
// IUnknown and IDMAgent and holds the module lock while it lives.
#include "agent/agent_factory.h"

#include "agent/agent_interfaces.h"
#include "agent/guids.h"
#include "platform/module_lock.h"

#include <new>

namespace {
class TemporaryAgent final : public IDMAgent {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IDMAgent)) return E_NOINTERFACE;
        *out = static_cast<IDMAgent*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --m_refs;
        if (refs == 0) delete this;
        return refs;
    }

private:
    ULONG m_refs = 0;
    ModuleLock m_lock;
};
}  // namespace

HRESULT CreateAgentObject(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* agent = new (std::nothrow) TemporaryAgent();
    if (!agent) return E_OUTOFMEMORY;
    agent->AddRef();
    const HRESULT hr = agent->QueryInterface(iid, out);
    agent->Release();
    return hr;
}
