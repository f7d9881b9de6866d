// What every viewer document keeps: its layers and the agent objects
// registered with it; and the stand-in viewer's table of open documents.
#pragma once

#include "interfaces/viewer_interfaces.h"
#include "viewer/sim/registrations.h"
#include "viewer/sim/tracked.h"
#include "viewer/sim_control.h"

#include <string>
#include <vector>

namespace nuvsim {

class DocumentState {
public:
    DocumentState(LONG handle, LONG kind) : m_handle(handle), m_kind(kind) {}
    virtual ~DocumentState() = default;

    virtual Tracked& Object() = 0;
    // The sender of the document's notifications: its events object; null in 2D.
    virtual IUnknown* EventsSender() = 0;

    LONG Handle() const { return m_handle; }
    LONG Kind() const { return m_kind; }
    bool IsOpen() const { return m_open; }

    LayerInfo& AddLayer(const std::string& path, LONG documentHandle);
    // Gives a layer a number of the caller's choice.
    void SetLayerNumber(LayerInfo& layer, LONG number);
    LayerInfo* FindLayer(LONG layerHandle);
    LayerInfo* FindLayerNumber(LONG number);
    std::vector<LayerInfo>& Layers() { return m_layers; }

    Registrations<IAgentNotify>& Sinks() { return m_sinks; }
    Registrations<IAgentMarkupSave>& SaveHandlers() { return m_saveHandlers; }

    DocumentInfo Info() const;
    // Releases every registration; the document stays for inspection.
    void Close();

private:
    LONG m_handle;
    LONG m_kind;
    bool m_open = true;
    std::vector<LayerInfo> m_layers;
    // No layer has a higher number.
    LONG m_highestNumber = 0;
    Registrations<IAgentNotify> m_sinks;
    Registrations<IAgentMarkupSave> m_saveHandlers;
};

LONG NextLayerHandle();
DocumentState* FindOpenDocument(LONG handle);
// The open document of the handle, made with the kind on first request.
DocumentState& OpenDocument(LONG handle, LONG kind);
void CloseAllDocuments();

// Made by the stand-in viewer only, through OpenDocument.
DocumentState& MakePdfDocument(LONG handle, const std::string& name);
DocumentState& Make2DDocument(LONG handle, const std::string& name);
DocumentState& Make3DDocument(LONG handle, const std::string& name);

// IViewerEvents of the PDF and 3D documents.
class ViewerEventsMethods : public IViewerEvents {
public:
    HRESULT STDMETHODCALLTYPE AddSink(IAgentNotify* sink) override;
    HRESULT STDMETHODCALLTYPE RemoveSink(IAgentNotify* sink) override;

protected:
    virtual DocumentState& State() = 0;
};

}  // namespace nuvsim
