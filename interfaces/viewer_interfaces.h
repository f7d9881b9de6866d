// The viewer's interfaces, as the agent calls them. Each is declared slot by
// slot: slots the agent never calls are placeholders (named by their position)
// so that every named operation sits at the position the viewer gives it.
// Positions count from 0 with the IUnknown operations at 0, 1 and 2.
//
// References follow COM's rules, said on each operation that passes one: an
// out argument hands the caller a reference that the caller releases (and
// that it forgets, unreleased, when the call failed); an object passed in is
// borrowed for the call, and a callee that keeps it takes a reference of its own
// and gives it back when it lets go.
#pragma once

#include "interfaces/agent_interfaces.h"

// A slot the agent never calls. A viewer answers it as it likes; the default
// body lets a stand-in viewer leave it out.
#define PLACEHOLDER_SLOT(n) \
    virtual HRESULT STDMETHODCALLTYPE Placeholder##n() { return E_NOTIMPL; }

struct ISettingsSource;
struct IMarkupManager;
struct IViewerSession;

// Created by the agent's constructor with NUVCoCreateInstance.
struct IAgentHelper : IUnknown {
    // agent: borrowed. The viewer may record it without a reference (the agent
    // holds the helper) or take one and keep the agent alive until it lets go.
    virtual HRESULT STDMETHODCALLTYPE RegisterAgent(IDMAgent* agent) = 0;
    PLACEHOLDER_SLOT(4)
    PLACEHOLDER_SLOT(5)
    // out: the 2D document's interface iid; the reference is the caller's.
    virtual HRESULT STDMETHODCALLTYPE GetDocument(REFIID iid, LONG documentHandle, void** out) = 0;
    // The same with the identifier taken from the out argument's type (the
    // identifier does not stand beside the out argument, so IID_PPV cannot
    // give both). Not virtual: no slot of its own.
    template <typename Document>
    HRESULT GetDocument(LONG documentHandle, Document** out) {
        return GetDocument(iid_of<Document>, documentHandle, VoidOut(out));
    }
    // out: a reference, the caller's.
    virtual HRESULT STDMETHODCALLTYPE GetSettingsSource(ISettingsSource** out) = 0;
    // out: a reference, the caller's.
    virtual HRESULT STDMETHODCALLTYPE GetMarkupManager(IMarkupManager** out) = 0;
};
DECLARE_INTERFACE_ID(IAgentHelper, 0xF78A830F, 0xE6D0, 0xEF70, 0xFC, 0x4D, 0xB2, 0x9B, 0x67, 0x13, 0x96, 0x1F);

// The document kinds GetDocumentKind reports.
enum DocumentKind : LONG {
    kDocumentPdf = 0,
    kDocument2D = 1,
    kDocument3D = 2,
    kDocumentNone = 3,
};

// A second object of the helper's class, or the helper asked by interface lookup.
struct IDocumentLookup : IUnknown {
    // out: a reference, the caller's.
    virtual HRESULT STDMETHODCALLTYPE GetViewerSession(IViewerSession** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDocumentKind(LONG firstKeyValue, LONG* kind) = 0;
    // Unnamed by the viewer; the agent only looks at its success.
    virtual HRESULT STDMETHODCALLTYPE UnnamedValue5(LONG* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDocumentIndex(const LONG* documentKey, LONG* block) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDocumentKey(LONG* secondKeyValue) = 0;
};
DECLARE_INTERFACE_ID(IDocumentLookup, 0x637BE33B, 0x22B9, 0xB0D0, 0x44, 0x91, 0x39, 0x85, 0xB1, 0x4E, 0x93, 0xE7);

// Reads one launch file value; count holds the buffer's size in characters.
struct ISettingsSource : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ReadProfileValue(LONG reserved, const WCHAR* section, const WCHAR* key, LONG* count, WCHAR* buffer) = 0;
};
DECLARE_INTERFACE_ID(ISettingsSource, 0x6A0D4E21, 0x93B7, 0x4C58, 0x8E, 0x1F, 0x5B, 0x2C, 0x7D, 0x9A, 0x0E, 0x34);

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
DECLARE_INTERFACE_ID(IMarkupManager, 0x2B7F91C4, 0x6E0A, 0x4D3B, 0xA8, 0xC2, 0x9F, 0x1E, 0x5D, 0x7B, 0x4A, 0x60);

struct IViewerSession : IUnknown {
    // The view kind is passed by value: sixteen bytes on the stack.
    virtual HRESULT STDMETHODCALLTYPE GetViewHandle(GUID viewKind, LONG* flag, LONG* viewHandle) = 0;
    PLACEHOLDER_SLOT(4)
    PLACEHOLDER_SLOT(5)
    PLACEHOLDER_SLOT(6)
    // out: the PDF or 3D document's interface iid; the reference is the caller's.
    virtual HRESULT STDMETHODCALLTYPE GetDocument(LONG handle, REFIID iid, void** out) = 0;
};
DECLARE_INTERFACE_ID(IViewerSession, 0xD4C8A3E7, 0x1F62, 0x4B95, 0x8D, 0x0E, 0x7A, 0x3B, 0x6C, 0x2F, 0x9E, 0x18);

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
DECLARE_INTERFACE_ID(IPdfDocument, 0x838CCE57, 0x83F5, 0xDC1D, 0xEC, 0xB1, 0xCF, 0x77, 0x44, 0x77, 0xFB, 0x74);

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
    // handler: the document takes a reference for each registration and
    // gives it back at the matching RemoveSaveHandler or when it closes.
    virtual HRESULT STDMETHODCALLTYPE AddSaveHandler(IAgentMarkupSave* handler) = 0;
    // handler: borrowed; the reference of one registration is given back.
    virtual HRESULT STDMETHODCALLTYPE RemoveSaveHandler(IAgentMarkupSave* handler) = 0;
};
DECLARE_INTERFACE_ID(I2DDocument, 0xF8052FE1, 0x3AD4, 0xD072, 0xA3, 0xFB, 0xD5, 0xEF, 0xBB, 0x5E, 0x0E, 0x52);

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
DECLARE_INTERFACE_ID(I2DLayers, 0x05EC9F85, 0xFCC0, 0xB749, 0x7B, 0x13, 0x17, 0xA0, 0x00, 0x6A, 0x6B, 0xD3);

struct I3DDocument : IUnknown {
    PLACEHOLDER_SLOT(3)
    PLACEHOLDER_SLOT(4)
    virtual HRESULT STDMETHODCALLTYPE LoadMarkupFile(LONG documentHandle, const char* path) = 0;
};
DECLARE_INTERFACE_ID(I3DDocument, 0x1374D0DA, 0x2A4B, 0xEB2D, 0xD8, 0xBE, 0x08, 0x63, 0xFA, 0x62, 0x56, 0x85);

// Asked for on a PDF or 3D document.
struct IViewerEvents : IUnknown {
    PLACEHOLDER_SLOT(3)
    // sink: the document takes a reference for each registration and gives
    // it back at the matching RemoveSink or when it closes.
    virtual HRESULT STDMETHODCALLTYPE AddSink(IAgentNotify* sink) = 0;
    // sink: borrowed; the reference of one registration is given back.
    virtual HRESULT STDMETHODCALLTYPE RemoveSink(IAgentNotify* sink) = 0;
};
DECLARE_INTERFACE_ID(IViewerEvents, 0x96D46A1C, 0xFAA6, 0x95B3, 0xFE, 0xA4, 0xE7, 0xD5, 0x2F, 0x75, 0x1A, 0xFF);

struct IFileStreamSource : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OpenFile(const char* name) = 0;
};
DECLARE_INTERFACE_ID(IFileStreamSource, 0xAFCE6DFE, 0xB614, 0xAEA5, 0xD5, 0xE0, 0x95, 0x7E, 0x81, 0xF2, 0x76, 0xF3);

// Exported by NUVComCreate.dll; takes the arguments of CoCreateInstance. out:
// a reference on a new object, the caller's.
extern "C" HRESULT STDMETHODCALLTYPE NUVCoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context,
                                                         REFIID iid, void** out);
