// The viewer's interfaces, as the agent calls them. Each is declared slot by
// slot: slots the agent never calls are placeholders (named by their position)
// so that every named operation sits at the position the viewer gives it.
// Positions count from 0 with the IUnknown operations at 0, 1 and 2.
#pragma once

#include "agent/agent_interfaces.h"
#include "agent/guids.h"

// A slot the agent never calls. A viewer answers it as it likes; the default
// body lets a stand-in viewer leave it out.
#define PLACEHOLDER_SLOT(n) \
    virtual HRESULT STDMETHODCALLTYPE Placeholder##n() { return E_NOTIMPL; }

struct ISettingsSource;
struct IMarkupManager;
struct IViewerSession;

// Created by the agent's constructor with NUVCoCreateInstance.
struct IAgentHelper : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE RegisterAgent(IDMAgent* agent) = 0;
    PLACEHOLDER_SLOT(4)
    PLACEHOLDER_SLOT(5)
    virtual HRESULT STDMETHODCALLTYPE GetDocument(REFIID iid, LONG documentHandle, void** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSettingsSource(ISettingsSource** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMarkupManager(IMarkupManager** out) = 0;
};

// A second object of the helper's class, or the helper asked by interface lookup.
struct IDocumentLookup : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetViewerSession(IViewerSession** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDocumentKind(LONG firstKeyValue, LONG* kind) = 0;
    // Unnamed by the viewer; the agent only looks at its success.
    virtual HRESULT STDMETHODCALLTYPE UnnamedValue5(LONG* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDocumentIndex(const LONG* documentKey, LONG* block) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDocumentKey(LONG* secondKeyValue) = 0;
};

// Reads one launch file value; count holds the buffer's size in characters.
struct ISettingsSource : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ReadProfileValue(LONG reserved, const WCHAR* section, const WCHAR* key, LONG* count, WCHAR* buffer) = 0;
};

struct IMarkupManager : IUnknown {
    PLACEHOLDER_SLOT(3)
    PLACEHOLDER_SLOT(4)
    PLACEHOLDER_SLOT(5)
    PLACEHOLDER_SLOT(6)
    PLACEHOLDER_SLOT(7)
    PLACEHOLDER_SLOT(8)
    PLACEHOLDER_SLOT(9)
    PLACEHOLDER_SLOT(10)
    PLACEHOLDER_SLOT(11)
    PLACEHOLDER_SLOT(12)
    PLACEHOLDER_SLOT(13)
    PLACEHOLDER_SLOT(14)
    PLACEHOLDER_SLOT(15)
    PLACEHOLDER_SLOT(16)
    PLACEHOLDER_SLOT(17)
    PLACEHOLDER_SLOT(18)
    PLACEHOLDER_SLOT(19)
    PLACEHOLDER_SLOT(20)
    PLACEHOLDER_SLOT(21)
    PLACEHOLDER_SLOT(22)
    PLACEHOLDER_SLOT(23)
    PLACEHOLDER_SLOT(24)
    virtual HRESULT STDMETHODCALLTYPE GetAgentString(const GUID* owner, LONG block, LONG entry, LONG* size, char* buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAgentString(const GUID* owner, LONG block, LONG entry, LONG* size, const char* text) = 0;
    PLACEHOLDER_SLOT(27)
    PLACEHOLDER_SLOT(28)
    PLACEHOLDER_SLOT(29)
    PLACEHOLDER_SLOT(30)
    PLACEHOLDER_SLOT(31)
    PLACEHOLDER_SLOT(32)
    PLACEHOLDER_SLOT(33)
    virtual HRESULT STDMETHODCALLTYPE EnableMarkupKind(const char* kindName, LONG flag) = 0;
    PLACEHOLDER_SLOT(35)
    PLACEHOLDER_SLOT(36)
    PLACEHOLDER_SLOT(37)
    PLACEHOLDER_SLOT(38)
    PLACEHOLDER_SLOT(39)
    PLACEHOLDER_SLOT(40)
    PLACEHOLDER_SLOT(41)
    PLACEHOLDER_SLOT(42)
    PLACEHOLDER_SLOT(43)
    virtual HRESULT STDMETHODCALLTYPE ReadProfileValue(LONG reserved, const WCHAR* section, const WCHAR* key, LONG* count, WCHAR* buffer) = 0;
};

struct IViewerSession : IUnknown {
    // The view kind is passed by value: sixteen bytes on the stack.
    virtual HRESULT STDMETHODCALLTYPE GetViewHandle(GUID viewKind, LONG* flag, LONG* viewHandle) = 0;
    PLACEHOLDER_SLOT(4)
    PLACEHOLDER_SLOT(5)
    PLACEHOLDER_SLOT(6)
    virtual HRESULT STDMETHODCALLTYPE GetDocument(LONG handle, REFIID iid, void** out) = 0;
};

struct IPdfDocument : IUnknown {
    PLACEHOLDER_SLOT(3)
    PLACEHOLDER_SLOT(4)
    PLACEHOLDER_SLOT(5)
    PLACEHOLDER_SLOT(6)
    PLACEHOLDER_SLOT(7)
    PLACEHOLDER_SLOT(8)
    PLACEHOLDER_SLOT(9)
    PLACEHOLDER_SLOT(10)
    PLACEHOLDER_SLOT(11)
    virtual HRESULT STDMETHODCALLTYPE GetCurrentLayer(LONG* layer) = 0;
    // Unnamed by the viewer; the agent calls it and ignores what it says.
    virtual HRESULT STDMETHODCALLTYPE UnnamedValue13(LONG* value) = 0;
    PLACEHOLDER_SLOT(14)
    PLACEHOLDER_SLOT(15)
    PLACEHOLDER_SLOT(16)
    PLACEHOLDER_SLOT(17)
    PLACEHOLDER_SLOT(18)
    PLACEHOLDER_SLOT(19)
    PLACEHOLDER_SLOT(20)
    PLACEHOLDER_SLOT(21)
    PLACEHOLDER_SLOT(22)
    PLACEHOLDER_SLOT(23)
    PLACEHOLDER_SLOT(24)
    PLACEHOLDER_SLOT(25)
    PLACEHOLDER_SLOT(26)
    PLACEHOLDER_SLOT(27)
    PLACEHOLDER_SLOT(28)
    PLACEHOLDER_SLOT(29)
    PLACEHOLDER_SLOT(30)
    virtual HRESULT STDMETHODCALLTYPE LoadMarkupFile(const char* path) = 0;
    PLACEHOLDER_SLOT(32)
    PLACEHOLDER_SLOT(33)
    PLACEHOLDER_SLOT(34)
    PLACEHOLDER_SLOT(35)
    PLACEHOLDER_SLOT(36)
    PLACEHOLDER_SLOT(37)
    PLACEHOLDER_SLOT(38)
    virtual HRESULT STDMETHODCALLTYPE SetLayerReadOnly(LONG layer, LONG flag) = 0;
};

struct I2DDocument : IUnknown {
    PLACEHOLDER_SLOT(3)
    PLACEHOLDER_SLOT(4)
    PLACEHOLDER_SLOT(5)
    PLACEHOLDER_SLOT(6)
    PLACEHOLDER_SLOT(7)
    PLACEHOLDER_SLOT(8)
    PLACEHOLDER_SLOT(9)
    PLACEHOLDER_SLOT(10)
    PLACEHOLDER_SLOT(11)
    PLACEHOLDER_SLOT(12)
    PLACEHOLDER_SLOT(13)
    PLACEHOLDER_SLOT(14)
    PLACEHOLDER_SLOT(15)
    PLACEHOLDER_SLOT(16)
    PLACEHOLDER_SLOT(17)
    PLACEHOLDER_SLOT(18)
    PLACEHOLDER_SLOT(19)
    PLACEHOLDER_SLOT(20)
    virtual HRESULT STDMETHODCALLTYPE AddSaveHandler(IAgentMarkupSave* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveSaveHandler(IAgentMarkupSave* handler) = 0;
};

// Asked for on an I2DDocument. Layer numbers count from 1.
struct I2DLayers : IUnknown {
    PLACEHOLDER_SLOT(3)
    PLACEHOLDER_SLOT(4)
    PLACEHOLDER_SLOT(5)
    virtual HRESULT STDMETHODCALLTYPE GetLayer(LONG* layer, LONG layerNumber) = 0;
    PLACEHOLDER_SLOT(7)
    PLACEHOLDER_SLOT(8)
    PLACEHOLDER_SLOT(9)
    PLACEHOLDER_SLOT(10)
    PLACEHOLDER_SLOT(11)
    PLACEHOLDER_SLOT(12)
    PLACEHOLDER_SLOT(13)
    PLACEHOLDER_SLOT(14)
    PLACEHOLDER_SLOT(15)
    PLACEHOLDER_SLOT(16)
    PLACEHOLDER_SLOT(17)
    PLACEHOLDER_SLOT(18)
    PLACEHOLDER_SLOT(19)
    PLACEHOLDER_SLOT(20)
    PLACEHOLDER_SLOT(21)
    PLACEHOLDER_SLOT(22)
    virtual HRESULT STDMETHODCALLTYPE LoadMarkupFile(const char* path, LONG layerNumber) = 0;
    PLACEHOLDER_SLOT(24)
    PLACEHOLDER_SLOT(25)
    PLACEHOLDER_SLOT(26)
    PLACEHOLDER_SLOT(27)
    PLACEHOLDER_SLOT(28)
    PLACEHOLDER_SLOT(29)
    virtual HRESULT STDMETHODCALLTYPE GetLayerName(LONG layer, char* buffer, LONG size) = 0;
    PLACEHOLDER_SLOT(31)
    PLACEHOLDER_SLOT(32)
    PLACEHOLDER_SLOT(33)
    PLACEHOLDER_SLOT(34)
    PLACEHOLDER_SLOT(35)
    PLACEHOLDER_SLOT(36)
    PLACEHOLDER_SLOT(37)
    PLACEHOLDER_SLOT(38)
    PLACEHOLDER_SLOT(39)
    PLACEHOLDER_SLOT(40)
    PLACEHOLDER_SLOT(41)
    PLACEHOLDER_SLOT(42)
    PLACEHOLDER_SLOT(43)
    PLACEHOLDER_SLOT(44)
    PLACEHOLDER_SLOT(45)
    PLACEHOLDER_SLOT(46)
    PLACEHOLDER_SLOT(47)
    PLACEHOLDER_SLOT(48)
    PLACEHOLDER_SLOT(49)
    PLACEHOLDER_SLOT(50)
    PLACEHOLDER_SLOT(51)
    PLACEHOLDER_SLOT(52)
    virtual HRESULT STDMETHODCALLTYPE SetLayerReadOnly(LONG layer, LONG flag) = 0;
};

struct I3DDocument : IUnknown {
    PLACEHOLDER_SLOT(3)
    PLACEHOLDER_SLOT(4)
    virtual HRESULT STDMETHODCALLTYPE LoadMarkupFile(LONG documentHandle, const char* path) = 0;
};

// Asked for on a PDF or 3D document.
struct IViewerEvents : IUnknown {
    PLACEHOLDER_SLOT(3)
    virtual HRESULT STDMETHODCALLTYPE AddSink(IAgentNotify* sink) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveSink(IAgentNotify* sink) = 0;
};

struct IFileStreamSource : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OpenFile(const char* name) = 0;
};

// Exported by NUVComCreate.dll; takes the arguments of CoCreateInstance.
extern "C" HRESULT STDMETHODCALLTYPE NUVCoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context,
                                                         REFIID iid, void** out);
