// The session state of one agent and the interfaces the viewer drives it
// through. CDMAgent (agent/dm_agent.h) adds identity and reference counting.
#pragma once

#include "interfaces/agent_interfaces.h"
#include "interfaces/viewer_interfaces.h"
#include "pdm/session_log.h"
#include "platform/com/com_ptr.h"
#include "platform/com/module_context.h"
#include "platform/com/result.h"
#include "viewlist/agent_data_store.h"
#include "viewlist/session_record.h"

#include <list>
#include <string>
#include <vector>

class CAgentBase : public IAgentFileOpen,
                   public IAgentPathResolve,
                   public IAgentMarkupSave,
                   public IAgentNotify,
                   public IAgentSession,
                   public IAgentSessionControl {
public:
    CAgentBase(const CAgentBase&) = delete;
    CAgentBase& operator=(const CAgentBase&) = delete;

    // Own virtual operations; they follow OpenStream in the primary table.
    // The first frees the object the way a virtual destructor would: it keeps
    // the single slot that position has (a C++ destructor would take two).
    virtual void DestroySelf() = 0;
    virtual HRESULT HandleItem(const std::string& name, const std::string& kind, const EntryList* list,
                               const ViewListEntry* entry);

    // IAgentFileOpen
    HRESULT STDMETHODCALLTYPE OpenStream(const char* name, LONG ignored, IStream** out) override;
    // IAgentPathResolve
    HRESULT STDMETHODCALLTYPE ResolvePath(const char* name, char* buffer, LONG ignored1, LONG ignored2) override;
    // IAgentMarkupSave
    HRESULT STDMETHODCALLTYPE SaveMarkup(const char* markupPath) override;
    // IAgentNotify
    HRESULT STDMETHODCALLTYPE Notify(LONG code, IUnknown* sender, LONG value, void* input, void* output) override;
    HRESULT STDMETHODCALLTYPE Advise(IAgentNotify* sink) override;
    HRESULT STDMETHODCALLTYPE Unadvise(IAgentNotify* sink) override;
    HRESULT STDMETHODCALLTYPE Fire(LONG code, IUnknown* sender, LONG value, void* input, void* output) override;
    // IAgentSession
    HRESULT STDMETHODCALLTYPE Stub3(LONG, LONG, LONG, LONG, LONG) override;
    HRESULT STDMETHODCALLTYPE Stub4(LONG) override;
    HRESULT STDMETHODCALLTYPE Stub5(LONG) override;
    HRESULT STDMETHODCALLTYPE Stub6(LONG) override;
    HRESULT STDMETHODCALLTYPE Stub7(LONG) override;
    HRESULT STDMETHODCALLTYPE Stub8(LONG) override;
    HRESULT STDMETHODCALLTYPE LoadDocumentMarkups(LONG documentHandle) override;
    HRESULT STDMETHODCALLTYPE Stub10(LONG) override;
    HRESULT STDMETHODCALLTYPE Stub11(LONG, LONG) override;
    HRESULT STDMETHODCALLTYPE Stub12(LONG) override;
    HRESULT STDMETHODCALLTYPE Stub13(LONG, LONG) override;
    HRESULT STDMETHODCALLTYPE Stub14(LONG) override;
    HRESULT STDMETHODCALLTYPE Connect() override;
    HRESULT STDMETHODCALLTYPE LoadViewList() override;
    HRESULT STDMETHODCALLTYPE SaveViewList() override;
    HRESULT STDMETHODCALLTYPE OpenSessionItem(const char* name) override;
    HRESULT STDMETHODCALLTYPE Stub19(LONG, LONG) override;
    HRESULT STDMETHODCALLTYPE Stub20(LONG, LONG, LONG) override;
    HRESULT STDMETHODCALLTYPE RemovePendingFiles(PendingFileList* list) override;
    HRESULT STDMETHODCALLTYPE BeginMarkup(LONG value) override;
    HRESULT STDMETHODCALLTYPE EndMarkup(LONG ignored) override;
    // IAgentSessionControl
    HRESULT STDMETHODCALLTYPE Start() override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE ControlStub5(LONG) override;
    HRESULT STDMETHODCALLTYPE ControlStub6(LONG, LONG) override;
    HRESULT STDMETHODCALLTYPE IsStarted(LONG* started) override;

    // Files that RemovePendingFiles deletes.
    void AddPendingDelete(const std::string& path) { m_pendingDeletes.push_back(path); }

protected:
    CAgentBase();
    ~CAgentBase();

    IAgentNotify* NotifyInterface() { return static_cast<IAgentNotify*>(this); }
    // A reference of the agent's own across a call out: whoever is called may
    // let go of the last other one, and the agent must outlive the call.
    ComPtr<IAgentNotify> HoldSelf() { return ComPtr<IAgentNotify>::copy(NotifyInterface()); }

    // The boundary of every operation of the agent's interfaces but IUnknown's.
    // The agent holds itself for the whole call, since whoever it calls out to
    // may let go of its last reference; its own module is current, so that
    // its strings load from its own table whoever called in; and no exception
    // passes into the viewer, whose process it would end.
    template <typename Body>
    HRESULT Operation(Body&& body) noexcept {
        try {
            const ComPtr<IAgentNotify> self = HoldSelf();
            const ModuleContextGuard context;
            return body();
        } catch (...) {
            return ResultFromCaughtException();
        }
    }
    // The same for an operation whose result the log reports by name.
    template <typename Body>
    HRESULT Operation(const char* name, Body&& body) noexcept {
        return Operation([&] { return ViewerCall(name, body); });
    }
    IAgentMarkupSave* SaveInterface() { return static_cast<IAgentMarkupSave*>(this); }
    // The launch file has been read: the session has its record and lists.
    bool Connected() const { return m_record.m_bLaunchFileRead; }
    // Gives back every reference the agent holds on other objects, the
    // viewer's first, as the viewer expects.
    void ReleaseHeldReferences();
    bool IsReadOnly(const ViewListEntry& entry) const;
    // The same, with whether the session is view-only already known.
    static bool IsReadOnly(const ViewListEntry& entry, bool viewOnly);
    // Whether object is this agent, through any of its interfaces.
    bool IsOwnIdentity(IUnknown* object);
    bool IsViewOnly() const;

    // What LoadViewList and Connect answer while a markup load walks the
    // list they would replace: the viewer may call them from inside a load.
    static constexpr HRESULT kRefusedWhileMarkupsLoad = E_UNEXPECTED;
    bool LoadingMarkups() const { return m_nMarkupLoads > 0; }

    HRESULT LoadPdfMarkups(LONG documentHandle);
    HRESULT Load2DMarkups(LONG documentHandle);
    HRESULT Load3DMarkups(LONG documentHandle);

    // One getter per document kind (agent/documents.cpp); E_FAIL without the
    // viewer's session (PDF, 3D) or helper (2D).
    HRESULT GetPdfDocument(LONG documentHandle, ComPtr<IPdfDocument>& document);
    HRESULT Get2DDocument(LONG documentHandle, ComPtr<I2DDocument>& document);
    // The document of the viewer's 3D view; with onlyA3DView, none is asked
    // for (E_FAIL) when the viewer does not call the view a 3D one.
    HRESULT Get3DDocument(ComPtr<I3DDocument>& document, bool onlyA3DView);
    // The agent's sink on the events of a PDF or 3D document.
    HRESULT AddSinkTo(IUnknown* document);
    HRESULT RemoveSinkFrom(IUnknown* document);
    // Takes the sink or save handler that loading registered off the
    // session's document.
    HRESULT LeaveDocument();
    HRESULT FixLaunchFileAndStart(const char* name);
    // One call of the viewer: its result for the debug output when it
    // failed, and for a log that holds the viewer's calls.
    template <typename Body>
    static HRESULT ViewerCall(const char* name, Body&& body) {
        const HRESULT hr = body();
        ReportViewerCall(name, hr);
        return hr;
    }
    // Reads the log policy and tells the log who starts which session.
    void LogSessionStart() const;
    // What the launch file says of the session.
    void LogLaunchFile() const;
    void LogMarkupLoaded(const ViewListEntry& entry, bool madeReadOnly) const;
    void LogViewList(const char* what, HRESULT hr) const;

    std::vector<ComPtr<IAgentNotify>> m_sinks;
    LONG m_nDocKeyFirst = 0;
    ComPtr<IAgentHelper> m_pHelper;
    ComPtr<IViewerSession> m_pViewerSession;
    ComPtr<IMarkupManager> m_pMarkupManager;
    SessionRecord m_record;
    AgentDataStore m_store;
    std::list<std::string> m_pendingDeletes;
    std::string m_strViewListPath;
    // The 3D documents whose saves the agent takes.
    std::vector<LONG> m_documents;
    LONG m_nDocKeySecond = 0;
    LONG m_nDocumentKind = kDocumentNone;
    LONG m_hDocument = 0;
    // The markup loads running, one inside the other.
    int m_nMarkupLoads = 0;
};
