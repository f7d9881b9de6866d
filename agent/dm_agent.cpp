#include "agent/dm_agent.h"

#include "agent/agent_factory.h"
#include "platform/com/interface_table.h"

#include <limits>
#include <new>

namespace {
// The count while the agent is torn down: no run of stray Releases from a
// holder that lets go of it meanwhile can bring it to zero again.
constexpr LONG kCountDuringDestruction = std::numeric_limits<LONG>::max() / 2;

// What interface lookup answers. The notification and session control
// interfaces are the agent's own business and stay out.
using AgentInterfaces = InterfaceTable<Answer<IUnknown, IDMAgent>, Answer<IDMAgent>, Answer<IAgentFileOpen>,
                                       Answer<IAgentPathResolve>, Answer<IAgentMarkupSave>, Answer<IAgentSession>>;
}  // namespace

CDMAgent::CDMAgent(IUnknown* outer) : m_pOuter(outer) {
    if (m_pHelper) {
        // A reference of our own for the call, so that a helper that takes
        // and drops one cannot destroy the agent under construction; given
        // back without destroying, so that one the helper keeps stays its own.
        ++m_nRefCount;
        m_pHelper->RegisterAgent(static_cast<IDMAgent*>(this));
        --m_nRefCount;
    }
}

// Whoever the agent lets go of may call back into it while it does: that
// happens here, while the whole object still lives.
CDMAgent::~CDMAgent() { ReleaseHeldReferences(); }

HRESULT CDMAgent::Create(IUnknown* outer, REFIID iid, void** out) {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = nullptr;
    RETURN_HR_IF(CLASS_E_NOAGGREGATION, outer && !IsEqualGUID(iid, iid_of<IUnknown>));
    auto* agent = new (std::nothrow) CDMAgent(outer);
    RETURN_HR_IF_NULL(E_OUTOFMEMORY, agent);

    // One reference for the creation, then the one asked for.
    agent->AddOwnReference();
    const HRESULT hr = outer ? agent->m_inner.QueryInterface(iid, out) : agent->QueryInterface(iid, out);
    agent->ReleaseOwnReference();
    return hr;
}

HRESULT CDMAgent::LookUpInterface(REFIID iid, void** out) {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = nullptr;
    IUnknown* found = AgentInterfaces::Find(this, iid);
    RETURN_HR_IF_NULL(E_NOINTERFACE, found);
    found->AddRef();
    *out = found;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDMAgent::QueryInterface(REFIID iid, void** out) try {
    RETURN_HR_IF_NULL(E_POINTER, out);
    if (m_pOuter && SUCCEEDED(m_pOuter->QueryInterface(iid, out))) return S_OK;
    return LookUpInterface(iid, out);
}
CATCH_RETURN();

ULONG STDMETHODCALLTYPE CDMAgent::AddRef() { return m_pOuter ? m_pOuter->AddRef() : AddOwnReference(); }

ULONG STDMETHODCALLTYPE CDMAgent::Release() { return m_pOuter ? m_pOuter->Release() : ReleaseOwnReference(); }

// Plain arithmetic: every call reaches the agent on its apartment thread.
ULONG CDMAgent::AddOwnReference() { return static_cast<ULONG>(++m_nRefCount); }

ULONG CDMAgent::ReleaseOwnReference() {
    const LONG count = --m_nRefCount;
    if (count == 0) {
        m_nRefCount = kCountDuringDestruction;
        DestroySelf();
    }
    return static_cast<ULONG>(count);
}

void CDMAgent::DestroySelf() { delete this; }

HRESULT STDMETHODCALLTYPE CDMAgent::InnerUnknown::QueryInterface(REFIID iid, void** out) try {
    RETURN_HR_IF_NULL(E_POINTER, out);
    if (IsEqualGUID(iid, iid_of<IUnknown>)) {
        *out = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    return m_agent.LookUpInterface(iid, out);
}
CATCH_RETURN();

ULONG STDMETHODCALLTYPE CDMAgent::InnerUnknown::AddRef() { return m_agent.AddOwnReference(); }

ULONG STDMETHODCALLTYPE CDMAgent::InnerUnknown::Release() { return m_agent.ReleaseOwnReference(); }

HRESULT CreateAgentObject(IUnknown* outer, REFIID iid, void** out) { return CDMAgent::Create(outer, iid, out); }
