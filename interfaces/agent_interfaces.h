// The interfaces through which the viewer drives the agent. The viewer
// defines them; the agent implements them. Every operation takes 32-bit
// arguments, and every stub declares exactly the number the viewer pushes,
// because a __stdcall callee pops them.
#pragma once

#include "platform/com/com.h"

#include "agent_identifiers.h"  // generated from module/ZelDMAgent.idl

// The type library's interface: the object's identity, nothing beyond IUnknown.
struct IDMAgent : IUnknown {};
DECLARE_INTERFACE_ID(IDMAgent, ZEL_IID_IDMAGENT);

struct IAgentFileOpen : IUnknown {
    // out: a reference on the stream, the viewer's.
    virtual HRESULT STDMETHODCALLTYPE OpenStream(const char* name, LONG ignored, IStream** out) = 0;
};
DECLARE_INTERFACE_ID(IAgentFileOpen, 0xBC322BD5, 0x6359, 0x17D4, 0x59, 0x26, 0x36, 0x3F, 0xE6, 0xA1, 0x10, 0x24);

struct IAgentPathResolve : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ResolvePath(const char* name, char* buffer, LONG ignored1, LONG ignored2) = 0;
};
DECLARE_INTERFACE_ID(IAgentPathResolve, 0xA222643E, 0x744A, 0xD6F8, 0x05, 0xFE, 0x02, 0x88, 0x3E, 0xC5, 0xC2, 0xE3);

struct IAgentMarkupSave : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SaveMarkup(const char* markupPath) = 0;
};
DECLARE_INTERFACE_ID(IAgentMarkupSave, 0x775D096D, 0x0F0F, 0x15FA, 0x4E, 0xE1, 0x4C, 0x1F, 0xD1, 0x94, 0x91, 0x0B);

// Notification codes the agent handles itself; any other code is passed on
// to the registered sinks.
enum NotifyCode : LONG {
    kNotifyStart = 0,
    kNotifyViewerEvent = 2,
    kNotifyQueryVersion = 8,
    kNotifyQueryFlag = 9,
    kNotifySaveMarkup = 0xA0006,
    kNotifySaveDocumentMarkup = 0x3E90010,
    kNotifySaveDocumentMarkupAlt = 0x3E90011,
};

// What input points to for the two document save codes.
struct DocumentMarkupSave {
    LONG documentHandle;
    const char* markupPath;
};

// Never answered by the agent's interface lookup: the viewer is handed it
// with AddSink.
struct IAgentNotify : IUnknown {
    // sender: borrowed for the call.
    virtual HRESULT STDMETHODCALLTYPE Notify(LONG code, IUnknown* sender, LONG value, void* input, void* output) = 0;
    // sink: the agent takes a reference, given back at Unadvise or when the
    // agent goes.
    virtual HRESULT STDMETHODCALLTYPE Advise(IAgentNotify* sink) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unadvise(IAgentNotify* sink) = 0;
    virtual HRESULT STDMETHODCALLTYPE Fire(LONG code, IUnknown* sender, LONG value, void* input, void* output) = 0;
};
DECLARE_INTERFACE_ID(IAgentNotify, 0x3C1E7A90, 0x5B2D, 0x4F0E, 0x9A, 0x61, 0x7D, 0x2B, 0x8E, 0x4C, 0x1F, 0x05);

// The caller's list of RemovePendingFiles. Nodes and texts are allocated with
// CoTaskMemAlloc; the caller owns and frees them.
struct PendingFileNode {
    PendingFileNode* next;
    char* path;
};
struct PendingFileList {
    PendingFileNode* head;
};

struct IAgentSession : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Stub3(LONG, LONG, LONG, LONG, LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub4(LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub5(LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub6(LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub7(LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub8(LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE LoadDocumentMarkups(LONG documentHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub10(LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub11(LONG, LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub12(LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub13(LONG, LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub14(LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE Connect() = 0;
    virtual HRESULT STDMETHODCALLTYPE LoadViewList() = 0;
    virtual HRESULT STDMETHODCALLTYPE SaveViewList() = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenSessionItem(const char* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub19(LONG, LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stub20(LONG, LONG, LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemovePendingFiles(PendingFileList* list) = 0;
    virtual HRESULT STDMETHODCALLTYPE BeginMarkup(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE EndMarkup(LONG ignored) = 0;
};
DECLARE_INTERFACE_ID(IAgentSession, 0xDBFD22D6, 0x5229, 0xE07D, 0xA4, 0x07, 0xE1, 0x5D, 0x7F, 0xF3, 0x52, 0x53);

// Private: the agent calls it on itself; interface lookup never answers it.
struct IAgentSessionControl : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Start() = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
    virtual HRESULT STDMETHODCALLTYPE ControlStub5(LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE ControlStub6(LONG, LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsStarted(LONG* started) = 0;
};
DECLARE_INTERFACE_ID(IAgentSessionControl, 0x8F4A2C61, 0x0D3E, 0x4B7A, 0xB5, 0xC9, 0x2E, 0x6F, 0x1A, 0x8D, 0x3B, 0x47);
