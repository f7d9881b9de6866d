// A PDF document: markup files become layers, the last one loaded is current.
#include "platform/com/interface_table.h"
#include "platform/com/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/documents.h"
#include "viewer/sim/sim_state.h"

namespace nuvsim {
namespace {

class PdfDocument final : public SimObject<IPdfDocument, ViewerEventsMethods>, public DocumentState {
public:
    PdfDocument(LONG handle, const std::string& name)
        : SimObject("PdfDocument", name), DocumentState(handle, kKindPdf) {}

    Tracked& Object() override { return *this; }
    IUnknown* EventsSender() override { return static_cast<IViewerEvents*>(this); }

    HRESULT STDMETHODCALLTYPE GetCurrentLayer(LONG* layer) override {
        SIM_CALL_OUT("IPdfDocument::GetCurrentLayer", "", layer);
        RETURN_HR_IF(E_POINTER, !layer);
        RETURN_HR_IF(E_FAIL, Layers().empty());
        *layer = Layers().back().handle;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE UnnamedValue13(LONG* value) override {
        SIM_CALL_OUT("IPdfDocument::UnnamedValue13", "", value);
        RETURN_HR_IF(E_POINTER, !value);
        *value = 0;
        return S_OK;
    }

    // The stand-in never reads markup files: any named file becomes a layer.
    HRESULT STDMETHODCALLTYPE LoadMarkupFile(const char* path) override {
        SIM_CALL("IPdfDocument::LoadMarkupFile", Quote(path));
        RETURN_HR_IF(E_POINTER, !path);
        RETURN_HR_IF(E_INVALIDARG, !*path);
        AddLayer(path, 0);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetLayerReadOnly(LONG layer, LONG flag) override {
        SIM_CALL("IPdfDocument::SetLayerReadOnly", Join({Number(layer), Number(flag)}));
        LayerInfo* found = FindLayer(layer);
        RETURN_HR_IF(E_INVALIDARG, !found);
        found->readOnly = flag != 0;
        return S_OK;
    }

protected:
    DocumentState& State() override { return *this; }

    void* Lookup(REFIID iid) override {
        return InterfaceTable<Answer<IUnknown, IPdfDocument>, Answer<IPdfDocument>, Answer<IViewerEvents>>::Find(this,
                                                                                                                iid);
    }
};

}  // namespace

DocumentState& MakePdfDocument(LONG handle, const std::string& name) {
    return *TheSimState().Make<PdfDocument>(handle, name);
}

}  // namespace nuvsim
