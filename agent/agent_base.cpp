#include "agent/agent_base.h"

#include "interfaces/guids.h"

CAgentBase::CAgentBase() {
    // Without the helper the agent still exists; the operations that need it fail.
    m_pHelper.receive(
        [](auto out) { return NUVCoCreateInstance(CLSID_AgentHelper, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(out)); });
}

// CDMAgent has given back what the agent held; the helper would otherwise
// go first, as the viewer expects.
CAgentBase::~CAgentBase() { m_pHelper.reset(); }

void CAgentBase::ReleaseHeldReferences() {
    m_pHelper.reset();
    m_pViewerSession.reset();
    m_pMarkupManager.reset();
    m_store.Close();
    // A sink may unadvise itself as it is let go of.
    std::vector<ComPtr<IAgentNotify>> sinks;
    sinks.swap(m_sinks);
    sinks.clear();
}

HRESULT CAgentBase::HandleItem(const std::string&, const std::string&, const EntryList*, const ViewListEntry*) {
    return E_NOTIMPL;
}

// Operations the viewer may call but this agent does not provide. They pass
// the same boundary as every other operation of these interfaces.
#define AGENT_STUB(iface_method, result, ...)                              \
    HRESULT STDMETHODCALLTYPE CAgentBase::iface_method(__VA_ARGS__) {      \
        return Operation([]() -> HRESULT { return result; });              \
    }

AGENT_STUB(Stub3, S_OK, LONG, LONG, LONG, LONG, LONG)
AGENT_STUB(Stub4, E_NOTIMPL, LONG)
AGENT_STUB(Stub5, E_NOTIMPL, LONG)
AGENT_STUB(Stub6, E_NOTIMPL, LONG)
AGENT_STUB(Stub7, E_NOTIMPL, LONG)
AGENT_STUB(Stub8, E_NOTIMPL, LONG)
AGENT_STUB(Stub10, E_NOTIMPL, LONG)
AGENT_STUB(Stub11, S_OK, LONG, LONG)
AGENT_STUB(Stub12, E_NOTIMPL, LONG)
AGENT_STUB(Stub13, E_NOTIMPL, LONG, LONG)
AGENT_STUB(Stub14, E_NOTIMPL, LONG)
AGENT_STUB(Stub19, E_NOTIMPL, LONG, LONG)
AGENT_STUB(Stub20, E_NOTIMPL, LONG, LONG, LONG)
AGENT_STUB(ControlStub5, S_OK, LONG)
AGENT_STUB(ControlStub6, S_OK, LONG, LONG)

#undef AGENT_STUB

HRESULT STDMETHODCALLTYPE CAgentBase::IsStarted(LONG* started) {
    return Operation([&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, started);
        *started = m_pViewerSession ? 1 : 0;
        return S_OK;
    });
}
