// The agent object the viewer creates: identity, interface lookup and
// reference counting, stand-alone or aggregated inside an outer object.
#pragma once

#include "agent/agent_base.h"
#include "platform/com/module_lock.h"

class CDMAgent final : public CAgentBase, public IDMAgent {
public:
    // outer null: a stand-alone agent; else an aggregated one, whose inner
    // IUnknown is asked for iid (which must then be IUnknown).
    static HRESULT Create(IUnknown* outer, REFIID iid, void** out);

    // IUnknown of every interface the agent implements.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    void DestroySelf() override;

private:
    // The aggregate's own IUnknown: it counts the references of the whole
    // agent while the outer object's IUnknown is the identity of the others.
    class InnerUnknown final : public IUnknown {
    public:
        explicit InnerUnknown(CDMAgent& agent) : m_agent(agent) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;

    private:
        CDMAgent& m_agent;
    };

    explicit CDMAgent(IUnknown* outer);
    ~CDMAgent();

    HRESULT LookUpInterface(REFIID iid, void** out);
    ULONG AddOwnReference();
    ULONG ReleaseOwnReference();

    LONG m_nRefCount = 0;
    IUnknown* m_pOuter;  // not a reference: the outer object owns the agent
    InnerUnknown m_inner{*this};
    // Last, so the module counts the agent once it is whole and stops
    // counting it before anything of it is torn down.
    ModuleLock m_moduleLock;
};
