// A 3D document, reached by its view handle; markup files load for a document handle.
#include "platform/com/interface_table.h"
#include "platform/com/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/documents.h"
#include "viewer/sim/sim_state.h"

namespace nuvsim {
namespace {

class Document3D final : public SimObject<I3DDocument, ViewerEventsMethods>, public DocumentState {
public:
    Document3D(LONG handle, const std::string& name)
        : SimObject("Document3D", name), DocumentState(handle, kKind3D) {}

    Tracked& Object() override { return *this; }
    IUnknown* EventsSender() override { return static_cast<IViewerEvents*>(this); }

    HRESULT STDMETHODCALLTYPE LoadMarkupFile(LONG documentHandle, const char* path) override {
        SIM_CALL("I3DDocument::LoadMarkupFile", Join({Number(documentHandle), Quote(path)}));
        RETURN_HR_IF(E_POINTER, !path);
        RETURN_HR_IF(E_INVALIDARG, !*path);
        AddLayer(path, documentHandle);
        return S_OK;
    }

protected:
    DocumentState& State() override { return *this; }

    void* Lookup(REFIID iid) override {
        return InterfaceTable<Answer<IUnknown, I3DDocument>, Answer<I3DDocument>, Answer<IViewerEvents>>::Find(this,
                                                                                                              iid);
    }
};

}  // namespace

DocumentState& Make3DDocument(LONG handle, const std::string& name) {
    return *TheSimState().Make<Document3D>(handle, name);
}

}  // namespace nuvsim
