// The viewer session: view handles and the PDF and 3D documents.
#include "platform/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/documents.h"
#include "viewer/sim/world.h"

namespace nuvsim {
namespace {

class ViewerSession final : public SimObject<IViewerSession> {
public:
    ViewerSession() : SimObject("ViewerSession", "ViewerSession") {}

    HRESULT STDMETHODCALLTYPE GetViewHandle(GUID viewKind, LONG* flag, LONG* viewHandle) override {
        SIM_CALL_OUT("IViewerSession::GetViewHandle", GuidName(viewKind), flag, viewHandle);
        RETURN_HR_IF(E_POINTER, !flag || !viewHandle);
        RETURN_HR_IF(E_INVALIDARG, viewKind != GUID_3DViewKind);
        World& world = TheWorld();
        *flag = world.config.viewFlag3D;
        *viewHandle = world.config.viewHandle3D;
        if (*flag == 1) world.viewHandles3D.insert(*viewHandle);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDocument(LONG handle, REFIID iid, void** out) override {
        if (out) *out = nullptr;
        SIM_CALL_OUT("IViewerSession::GetDocument", Join({Number(handle), GuidName(iid)}), out);
        RETURN_HR_IF(E_POINTER, !out);
        SIM_NULL_OUT(out);
        // A 3D document belongs to a 3D view; a handle the viewer never called one names none.
        RETURN_HR_IF(E_INVALIDARG, iid == IID_I3DDocument && !TheWorld().viewHandles3D.count(handle));
        if (DocumentState* open = FindOpenDocument(handle)) return open->Object().HandOut(iid, out);
        RETURN_HR_IF(E_NOINTERFACE, iid != IID_IPdfDocument && iid != IID_I3DDocument);
        return OpenDocument(handle, iid == IID_IPdfDocument ? kKindPdf : kKind3D).Object().HandOut(iid, out);
    }

protected:
    void* Lookup(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_IViewerSession) return static_cast<IViewerSession*>(this);
        return nullptr;
    }
};

}  // namespace

Tracked& TheViewerSession() {
    World& world = TheWorld();
    if (!world.viewerSession) world.viewerSession = world.Make<ViewerSession>();
    return *world.viewerSession;
}

}  // namespace nuvsim
