// The viewer session: view handles and the PDF and 3D documents.
#include "platform/com/interface_table.h"
#include "platform/com/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/documents.h"
#include "viewer/sim/sim_state.h"
#include "interfaces/guids.h"

namespace nuvsim {
namespace {

class ViewerSession final : public SimObject<IViewerSession> {
public:
    ViewerSession() : SimObject("ViewerSession", "ViewerSession") {}

    HRESULT STDMETHODCALLTYPE GetViewHandle(GUID viewKind, LONG* flag, LONG* viewHandle) override {
        SIM_CALL_OUT("IViewerSession::GetViewHandle", GuidName(viewKind), flag, viewHandle);
        RETURN_HR_IF(E_POINTER, !flag || !viewHandle);
        RETURN_HR_IF(E_INVALIDARG, viewKind != GUID_3DViewKind);
        SimState& sim = TheSimState();
        *flag = sim.config.viewFlag3D;
        *viewHandle = sim.config.viewHandle3D;
        if (*flag == 1) sim.viewHandles3D.insert(*viewHandle);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDocument(LONG handle, REFIID iid, void** out) override {
        if (out) *out = nullptr;
        SIM_CALL_OUT("IViewerSession::GetDocument", Join({Number(handle), GuidName(iid)}), out);
        RETURN_HR_IF(E_POINTER, !out);
        SIM_NULL_OUT(out);
        // A 3D document belongs to a 3D view; a handle the viewer never called one names none.
        const bool pdf = iid == iid_of<IPdfDocument>;
        const bool model = iid == iid_of<I3DDocument>;
        RETURN_HR_IF(E_INVALIDARG, model && !TheSimState().viewHandles3D.count(handle));
        if (DocumentState* open = FindOpenDocument(handle)) return open->Object().HandOut(iid, out);
        RETURN_HR_IF(E_NOINTERFACE, !pdf && !model);
        return OpenDocument(handle, pdf ? kKindPdf : kKind3D).Object().HandOut(iid, out);
    }

protected:
    void* Lookup(REFIID iid) override {
        return InterfaceTable<Answer<IUnknown, IViewerSession>, Answer<IViewerSession>>::Find(this, iid);
    }
};

}  // namespace

Tracked& TheViewerSession() {
    SimState& sim = TheSimState();
    if (!sim.viewerSession) sim.viewerSession = sim.Make<ViewerSession>();
    return *sim.viewerSession;
}

}  // namespace nuvsim
