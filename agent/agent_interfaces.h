// The interfaces through which the viewer drives the agent. The viewer
// defines them; the agent implements them. Every operation takes 32-bit
// arguments, and every stub declares exactly the number the viewer pushes,
// because a __stdcall callee pops them.
#pragma once

#include "platform/com.h"

// The type library's interface: the object's identity, nothing beyond IUnknown.
struct IDMAgent : IUnknown {};

struct IAgentFileOpen : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OpenStream(const char* name, LONG ignored, IStream** out) = 0;
};

struct IAgentPathResolve : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ResolvePath(const char* name, char* buffer, LONG ignored1, LONG ignored2) = 0;
};

struct IAgentMarkupSave : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SaveMarkup(const char* markupPath) = 0;
};

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

struct IAgentNotify : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Notify(LONG code, IUnknown* sender, LONG value, void* input, void* output) = 0;
    virtual HRESULT STDMETHODCALLTYPE Advise(IAgentNotify* sink) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unadvise(IAgentNotify* sink) = 0;
    virtual HRESULT STDMETHODCALLTYPE Fire(LONG code, IUnknown* sender, LONG value, void* input, void* output) = 0;
};

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

// Private: the agent calls it on itself; interface lookup never answers it.
struct IAgentSessionControl : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Start() = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
    virtual HRESULT STDMETHODCALLTYPE ControlStub5(LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE ControlStub6(LONG, LONG) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsStarted(LONG* started) = 0;
};
