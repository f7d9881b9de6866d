// The helper component: the agent's way to the viewer's session, documents,
// settings and agent data.
#include "platform/com/interface_table.h"
#include "platform/com/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/components.h"
#include "viewer/sim/documents.h"
#include "viewer/sim/sim_state.h"

namespace nuvsim {
namespace {

class AgentHelper final : public SimObject<IAgentHelper, IDocumentLookup> {
public:
    explicit AgentHelper(const std::string& name) : SimObject("AgentHelper", name) {}

    // By default no reference on the agent: it holds this helper, a reference
    // back would keep both alive until the viewer lets go of it explicitly.
    HRESULT STDMETHODCALLTYPE RegisterAgent(IDMAgent* agent) override {
        SIM_CALL("IAgentHelper::RegisterAgent", PointerArg(agent, "agent"));
        RETURN_HR_IF(E_INVALIDARG, !agent);
        SimState& sim = TheSimState();
        sim.registeredAgent = agent;
        ++sim.registerAgentCalls;
        if (sim.config.helperKeepsAgent) {
            agent->AddRef();
            sim.keptAgents.push_back(agent);
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDocument(REFIID iid, LONG documentHandle, void** out) override {
        if (out) *out = nullptr;
        SIM_CALL_OUT("IAgentHelper::GetDocument", Join({GuidName(iid), Number(documentHandle)}), out);
        RETURN_HR_IF(E_POINTER, !out);
        SIM_NULL_OUT(out);
        if (DocumentState* open = FindOpenDocument(documentHandle)) return open->Object().HandOut(iid, out);
        RETURN_HR_IF(E_NOINTERFACE, iid != iid_of<I2DDocument>);
        return OpenDocument(documentHandle, kKind2D).Object().HandOut(iid, out);
    }

    HRESULT STDMETHODCALLTYPE GetSettingsSource(ISettingsSource** out) override {
        return HandOutShared("IAgentHelper::GetSettingsSource", TheSettingsSource(), out);
    }

    HRESULT STDMETHODCALLTYPE GetMarkupManager(IMarkupManager** out) override {
        return HandOutShared("IAgentHelper::GetMarkupManager", TheMarkupManager(), out);
    }

    HRESULT STDMETHODCALLTYPE GetViewerSession(IViewerSession** out) override {
        return HandOutShared("IDocumentLookup::GetViewerSession", TheViewerSession(), out);
    }

    HRESULT STDMETHODCALLTYPE GetDocumentKind(LONG firstKeyValue, LONG* kind) override {
        SIM_CALL_OUT("IDocumentLookup::GetDocumentKind", Number(firstKeyValue), kind);
        RETURN_HR_IF(E_POINTER, !kind);
        *kind = TheSimState().config.documentKind;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE UnnamedValue5(LONG* value) override {
        SIM_CALL_OUT("IDocumentLookup::UnnamedValue5", "", value);
        RETURN_HR_IF(E_POINTER, !value);
        *value = TheSimState().config.lookupValue5;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDocumentIndex(const LONG* documentKey, LONG* block) override {
        SIM_CALL_OUT("IDocumentLookup::GetDocumentIndex",
                     documentKey ? Join({Number(documentKey[0]), Number(documentKey[1])}) : "null", block);
        RETURN_HR_IF(E_POINTER, !documentKey || !block);
        *block = TheSimState().agentData.BlockFor(documentKey[0], documentKey[1]);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDocumentKey(LONG* secondKeyValue) override {
        SIM_CALL_OUT("IDocumentLookup::GetDocumentKey", "", secondKeyValue);
        RETURN_HR_IF(E_POINTER, !secondKeyValue);
        *secondKeyValue = TheSimState().config.documentKeySecond;
        return S_OK;
    }

protected:
    void* Lookup(REFIID iid) override {
        return InterfaceTable<Answer<IUnknown, IAgentHelper>, Answer<IAgentHelper>, Answer<IDocumentLookup>>::Find(
            this, iid);
    }

private:
    template <class Interface>
    static HRESULT HandOutShared(const char* operation, Tracked& object, Interface** out) {
        if (out) *out = nullptr;
        SIM_CALL_OUT(operation, "", out);
        RETURN_HR_IF(E_POINTER, !out);
        SIM_NULL_OUT(out);
        return object.HandOut(IID_PPV(out));
    }
};

}  // namespace

Tracked& MakeAgentHelper() {
    SimState& sim = TheSimState();
    return *sim.Make<AgentHelper>("AgentHelper#" + Number(++sim.helpersMade));
}

}  // namespace nuvsim
