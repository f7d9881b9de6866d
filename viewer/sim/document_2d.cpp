// A 2D drawing: layer 1 is the drawing itself; markup files load into
// numbered layers; save handlers are called when the user saves a markup.
#include "platform/com/interface_table.h"
#include "platform/com/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/documents.h"
#include "viewer/sim/sim_state.h"

#include <algorithm>
#include <cstring>

namespace nuvsim {
namespace {

constexpr LONG kBaseLayer = 1;
constexpr char kBaseLayerName[] = "Drawing";

// A layer's name is its file's name without the folder.
std::string LayerName(const LayerInfo& layer) {
    if (layer.number == kBaseLayer) return kBaseLayerName;
    const size_t slash = layer.path.find_last_of("\\/");
    return slash == std::string::npos ? layer.path : layer.path.substr(slash + 1);
}

class Document2D final : public SimObject<I2DDocument, I2DLayers>, public DocumentState {
public:
    Document2D(LONG handle, const std::string& name) : SimObject("Document2D", name), DocumentState(handle, kKind2D) {
        AddLayer("", 0);
    }

    Tracked& Object() override { return *this; }
    IUnknown* EventsSender() override { return nullptr; }

    HRESULT STDMETHODCALLTYPE AddSaveHandler(IAgentMarkupSave* handler) override {
        SIM_CALL("I2DDocument::AddSaveHandler", PointerArg(handler, "handler"));
        return SaveHandlers().Add(handler);
    }

    HRESULT STDMETHODCALLTYPE RemoveSaveHandler(IAgentMarkupSave* handler) override {
        SIM_CALL("I2DDocument::RemoveSaveHandler", PointerArg(handler, "handler"));
        return SaveHandlers().Remove(handler);
    }

    HRESULT STDMETHODCALLTYPE GetLayer(LONG* layer, LONG layerNumber) override {
        SIM_CALL_OUT("I2DLayers::GetLayer", Number(layerNumber), layer);
        RETURN_HR_IF(E_POINTER, !layer);
        const LayerInfo* found = FindLayerNumber(layerNumber);
        RETURN_HR_IF(E_FAIL, !found);
        *layer = found->handle;
        return S_OK;
    }

    // Loading into a layer that exists replaces it: a new handle, writable again.
    HRESULT STDMETHODCALLTYPE LoadMarkupFile(const char* path, LONG layerNumber) override {
        SIM_CALL("I2DLayers::LoadMarkupFile", Join({Quote(path), Number(layerNumber)}));
        RETURN_HR_IF(E_POINTER, !path);
        RETURN_HR_IF(E_INVALIDARG, !*path || layerNumber <= kBaseLayer);
        if (LayerInfo* existing = FindLayerNumber(layerNumber)) {
            *existing = LayerInfo{layerNumber, NextLayerHandle(), 0, path, false};
            return S_OK;
        }
        // Numbers past the end are kept as given; the gap stays empty.
        LayerInfo& added = AddLayer(path, 0);
        SetLayerNumber(added, layerNumber);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetLayerName(LONG layer, char* buffer, LONG size) override {
        SIM_CALL_OUT("I2DLayers::GetLayerName", Join({Number(layer), Number(size)}), GarbageText{buffer, size});
        RETURN_HR_IF(E_POINTER, !buffer);
        RETURN_HR_IF(E_INVALIDARG, size <= 0);
        const LayerInfo* found = FindLayer(layer);
        RETURN_HR_IF(E_INVALIDARG, !found);
        const std::string name = LayerName(*found);
        const size_t length = std::min(name.size(), static_cast<size_t>(size) - 1);
        std::memcpy(buffer, name.data(), length);
        buffer[length] = '\0';
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetLayerReadOnly(LONG layer, LONG flag) override {
        SIM_CALL("I2DLayers::SetLayerReadOnly", Join({Number(layer), Number(flag)}));
        LayerInfo* found = FindLayer(layer);
        RETURN_HR_IF(E_INVALIDARG, !found);
        found->readOnly = flag != 0;
        return S_OK;
    }

protected:
    void* Lookup(REFIID iid) override {
        return InterfaceTable<Answer<IUnknown, I2DDocument>, Answer<I2DDocument>, Answer<I2DLayers>>::Find(this, iid);
    }
};

}  // namespace

DocumentState& Make2DDocument(LONG handle, const std::string& name) {
    return *TheSimState().Make<Document2D>(handle, name);
}

}  // namespace nuvsim
