#include "viewer/sim/documents.h"

#include "viewer/sim/call_text.h"
#include "viewer/sim/sim_state.h"

#include <algorithm>

namespace nuvsim {

LONG NextLayerHandle() { return TheSimState().nextLayerHandle++; }

LayerInfo& DocumentState::AddLayer(const std::string& path, LONG documentHandle) {
    const LONG number = static_cast<LONG>(m_layers.size()) + 1;
    m_layers.push_back(LayerInfo{number, NextLayerHandle(), documentHandle, path, false});
    m_highestNumber = std::max(m_highestNumber, number);
    return m_layers.back();
}

void DocumentState::SetLayerNumber(LayerInfo& layer, LONG number) {
    layer.number = number;
    m_highestNumber = std::max(m_highestNumber, number);
}

// Handles and numbers are unique within a document, so any search order
// finds the same layer. The agent asks for the layer it loaded last, which
// mostly sits at the position its number says: looking there and from the
// back keeps loading thousands of markups linear.
LayerInfo* DocumentState::FindLayer(LONG layerHandle) {
    for (auto layer = m_layers.rbegin(); layer != m_layers.rend(); ++layer) {
        if (layer->handle == layerHandle) return &*layer;
    }
    return nullptr;
}

LayerInfo* DocumentState::FindLayerNumber(LONG number) {
    if (number >= 1 && static_cast<size_t>(number) <= m_layers.size() &&
        m_layers[static_cast<size_t>(number) - 1].number == number)
        return &m_layers[static_cast<size_t>(number) - 1];
    if (number > m_highestNumber) return nullptr;
    for (auto layer = m_layers.rbegin(); layer != m_layers.rend(); ++layer) {
        if (layer->number == number) return &*layer;
    }
    return nullptr;
}

DocumentInfo DocumentState::Info() const {
    return DocumentInfo{m_handle, m_kind, m_open, m_layers, m_sinks.Count(), m_saveHandlers.Count()};
}

void DocumentState::Close() {
    m_open = false;
    // Taken out first: releasing the agent's last reference may call back in.
    auto sinks = m_sinks.TakeAll();
    auto handlers = m_saveHandlers.TakeAll();
}

DocumentState* FindOpenDocument(LONG handle) {
    const auto& open = TheSimState().openDocuments;
    const auto found = open.find(handle);
    return found == open.end() ? nullptr : found->second;
}

DocumentState& OpenDocument(LONG handle, LONG kind) {
    if (DocumentState* open = FindOpenDocument(handle)) return *open;
    SimState& sim = TheSimState();
    int earlier = 0;
    for (const DocumentState* document : sim.documents) earlier += document->Handle() == handle ? 1 : 0;
    // Appended piece by piece: GCC 12 at -O3 misreads the chained literal
    // concatenation as an overlapping copy (-Wrestrict).
    std::string suffix = "(";
    suffix += Number(handle);
    suffix += ")";
    if (earlier) {
        suffix += "#";
        suffix += Number(earlier + 1);
    }
    DocumentState& made = kind == kKindPdf  ? MakePdfDocument(handle, "PdfDocument" + suffix)
                          : kind == kKind2D ? Make2DDocument(handle, "Document2D" + suffix)
                                            : Make3DDocument(handle, "Document3D" + suffix);
    sim.documents.push_back(&made);
    sim.openDocuments[handle] = &made;
    return made;
}

void CloseAllDocuments() {
    // Copied: a release during Close may reach the viewer and open a document.
    const auto open = TheSimState().openDocuments;
    TheSimState().openDocuments.clear();
    for (const auto& [handle, document] : open) document->Close();
}

HRESULT STDMETHODCALLTYPE ViewerEventsMethods::AddSink(IAgentNotify* sink) {
    SIM_CALL("IViewerEvents::AddSink", PointerArg(sink, "sink"));
    return State().Sinks().Add(sink);
}

HRESULT STDMETHODCALLTYPE ViewerEventsMethods::RemoveSink(IAgentNotify* sink) {
    SIM_CALL("IViewerEvents::RemoveSink", PointerArg(sink, "sink"));
    return State().Sinks().Remove(sink);
}

}  // namespace nuvsim
