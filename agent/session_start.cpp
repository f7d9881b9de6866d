// The first file the viewer names fixes the session's launch file; the agent
// then joins the viewer session and connects to the PDM settings.
#include "agent/agent_base.h"

#include "interfaces/guids.h"
#include "interfaces/launch_file_keys.h"
#include "pdm/launch_file.h"
#include "pdm/save_policy.h"
#include "platform/com/module_context.h"
#include "platform/system/environment.h"
#include "platform/system/module_file.h"

#include <cstring>

namespace {
constexpr char kSessionItemKind[] = "Session";

// A launch file value in the log; an empty one is said to be missing.
std::string Logged(const std::string& value) { return value.empty() ? "(none)" : value; }
}  // namespace

// What decides the saves, so that a log sent in answers the first questions:
// the agent, the settings it runs with and whose session it is.
void CAgentBase::LogSessionStart() const {
    ConfigureSessionLog();
    if (!SessionLogHolds(LogLevel::kSessions)) return;
    std::string savePolicy;
    ReadSaveCommandsPolicy(&savePolicy);
    LogEvent(LogLevel::kSessions, std::string("session start: ZelDMAgent ") + ZEL_AGENT_VERSION + ", module " +
                                      ModuleFilePath(AgentModule()) + "; launch file " + m_strViewListPath + "; " +
                                      SessionLogSettings() + "; save program policy " + savePolicy +
                                      "; computer " + Logged(ComputerName()) + ", user " + Logged(UserName()));
}

void CAgentBase::LogLaunchFile() const {
    if (!SessionLogHolds(LogLevel::kSessions)) return;
    const SessionRecord& record = m_record;
    LogEvent(LogLevel::kSessions, "launch file: type " + record.m_strFileTypeID + ", PDM host " +
                                      Logged(record.m_strPDMHost) + ", view mode " + Logged(record.m_strViewMode) +
                                      ", " + std::to_string(record.m_nNumMarkups) + " markups, server file " +
                                      Logged(record.m_strServerPath) + ", session " +
                                      MaskedSessionId(record.m_strSessionID));
}

HRESULT CAgentBase::FixLaunchFileAndStart(const char* name) {
    if (!m_strViewListPath.empty()) return S_OK;
    m_strViewListPath = name;
    return Start();
}

HRESULT STDMETHODCALLTYPE CAgentBase::OpenStream(const char* name, LONG, IStream** out) {
    return Operation("OpenStream", [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, out);
        *out = nullptr;
        RETURN_HR_IF_NULL(E_POINTER, name);
        RETURN_IF_FAILED(FixLaunchFileAndStart(name));

        ComPtr<IFileStreamSource> source;
        RETURN_IF_FAILED(source.receive([](auto created) {
            return NUVCoCreateInstance(CLSID_FileStreamSource, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(created));
        }));
        RETURN_HR_IF_NULL(E_FAIL, source);
        RETURN_IF_FAILED(source->OpenFile(name));
        ComPtr<IStream> stream;
        const HRESULT hr = source.query(stream);
        *out = stream.detach();
        return hr;
    });
}

HRESULT STDMETHODCALLTYPE CAgentBase::ResolvePath(const char* name, char* buffer, LONG, LONG) {
    return Operation("ResolvePath", [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, name);
        RETURN_HR_IF_NULL(E_POINTER, buffer);
        const HRESULT started = FixLaunchFileAndStart(name);
        RETURN_IF_FAILED(started);
        // The viewer's buffer is as large as the name it resolves; the interface
        // gives no size to check against.
        std::memmove(buffer, name, std::strlen(name) + 1);
        return started;
    });
}

HRESULT STDMETHODCALLTYPE CAgentBase::Start() {
    return Operation("Start", [&]() -> HRESULT {
        if (m_pViewerSession) return S_OK;
        LogSessionStart();
        RETURN_HR_IF_NULL(E_FAIL, m_pHelper);

        ComPtr<IDocumentLookup> lookup;
        RETURN_IF_FAILED(lookup.receive([](auto created) {
            return NUVCoCreateInstance(CLSID_AgentHelper, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(created));
        }));
        RETURN_HR_IF_NULL(E_FAIL, lookup);
        RETURN_IF_FAILED(m_pMarkupManager.receive([&](auto out) { return m_pHelper->GetMarkupManager(out); }));
        RETURN_IF_FAILED(m_pViewerSession.receive([&](auto out) { return lookup->GetViewerSession(out); }));

        // Values land in the session only when the viewer vouches for them.
        LONG kind = kDocumentNone;
        RETURN_IF_FAILED(lookup->GetDocumentKind(m_nDocKeyFirst, &kind));
        m_nDocumentKind = kind;
        if (m_nDocKeySecond == 0) {
            LONG second = 0;
            RETURN_IF_FAILED(lookup->GetDocumentKey(&second));
            m_nDocKeySecond = second;
        }
        LONG unused = 0;
        RETURN_IF_FAILED(lookup->UnnamedValue5(&unused));
        return Connect();
    });
}

HRESULT STDMETHODCALLTYPE CAgentBase::Connect() {
    return Operation("Connect", [&]() -> HRESULT {
        RETURN_HR_IF(kRefusedWhileMarkupsLoad, LoadingMarkups());
        LaunchFileReader launchFile;
        RETURN_IF_FAILED(launchFile.Open(m_pHelper.get(), m_record));
        HideSessionId(m_record.m_strSessionID);
        LogLaunchFile();
        // A plain session with a document takes its view list from the agent data.
        if (m_record.m_strFileTypeID == kPlainSessionType && m_nDocumentKind != kDocumentNone) return LoadViewList();
        launchFile.ReadMarkups(m_record);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE CAgentBase::OpenSessionItem(const char* name) {
    return Operation("OpenSessionItem", [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, name);
        if (!Connected()) return HandleItem(name, kSessionItemKind, nullptr, nullptr);
        const EntryList& serverFiles = m_record.m_serverFiles;
        return HandleItem(name, kSessionItemKind, &serverFiles, serverFiles.FindByLocalPath(name));
    });
}

HRESULT STDMETHODCALLTYPE CAgentBase::Stop() {
    return Operation("Stop", [&]() -> HRESULT {
        const HRESULT hr = LeaveDocument();
        m_pViewerSession.reset();
        m_pMarkupManager.reset();
        return hr;
    });
}
