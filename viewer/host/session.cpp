#include "viewer/host/session.h"

#include "interfaces/agent_interfaces.h"
#include "interfaces/launch_file_keys.h"
#include "platform/system/message.h"
#include "viewer/host/agent_loader.h"
#include "viewer/host/debug_output_capture.h"
#include "viewer/host/event_log_capture.h"
#include "viewer/host/hresult_text.h"
#include "viewer/host/launch_file.h"
#include "viewer/host/message_box_closer.h"
#include "viewer/host/save_record.h"
#include "viewer/host/settings_probe.h"
#include "viewer/host/stderr_capture.h"
#include "viewer/host/stored_view_list.h"
#include "viewer/sim_control.h"

#include <cstdio>
#include <fstream>
#include <optional>

#ifndef _WIN32
#include <climits>
#include <cstdlib>
#endif

namespace host {
namespace {

// The agent passes the first value of the document key as 0: nothing sets it.
constexpr long kDocumentKeyFirst = 0;

void Line(const std::string& text) { std::printf("%s\n", text.c_str()); }
void Field(const char* label, const std::string& value) {
    std::printf("  %-20s %s\n", label, value.empty() ? "(empty)" : value.c_str());
}
void Fail(const std::string& text) {
    std::fflush(stdout);
    std::fprintf(stderr, "zelview-sim: %s\n", text.c_str());
}

std::string FullPath(const std::string& path) {
#ifdef _WIN32
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length == 0 || length >= sizeof full ? path : std::string(full, length);
#else
    char full[PATH_MAX];
    return realpath(path.c_str(), full) ? std::string(full) : path;
#endif
}

bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

std::string PreserveText() {
    const std::optional<DWORD> value = ReadPreserveExtensions();
    return value ? std::to_string(*value) : "not set";
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

template <typename T>
ComPtr<T> Query(IUnknown* agent) {
    ComPtr<T> result;
    result.receive([&](auto out) { return agent->QueryInterface(IID_PPV(out)); });
    return result;
}

class Session {
public:
    Session(const Options& options) : m_options(options) {}
    int Run();

private:
    bool Prepare();
    bool OpenLaunchFile();
    void LoadDocument();
    void Markup();
    void Save(const std::string& markupPath);
    HRESULT SaveAs(const std::string& markupPath);
    void Finish();
    void ReportViewList();
    void ReportLayers(const std::vector<StoredMarkup>& markups, bool restored);
    void End();
    void ReportAgentOutput();

    const Options& m_options;
    // Started before the agent is made, finished once it is gone.
    std::optional<DebugOutputCapture> m_debugOutput;
    std::optional<EventLogCapture> m_eventLog;
    LaunchFile m_launch;
    std::string m_launchPath;
    long m_kind = nuvsim::kKindNone;
    AgentLoader m_loader;
    ComPtr<IAgentSession> m_session;
    nuvsim::DocumentInfo m_document{};
    bool m_haveDocument = false;
    bool m_failed = false;
};

bool Session::Prepare() {
    m_launchPath = FullPath(m_options.launchFile);
    if (!m_launch.Load(m_launchPath)) {
        Fail("cannot read the launch file " + m_options.launchFile);
        return false;
    }
    std::string serverPath = m_launch.Value(kSectionServerFile, kKeyServerPath);
    if (serverPath.empty()) serverPath = m_launch.Value(kSectionServerFile, kKeyImportPath);
    std::string kindSource = "--kind";
    std::optional<long> kind = KindFromName(m_options.kind);
    if (!kind) {
        kind = KindFromServerPath(serverPath);
        kindSource = "the server file's extension";
    }
    if (!kind) {
        Fail("cannot tell the document kind of server file '" + serverPath + "' in " + m_options.launchFile +
             "; give --kind pdf|2d|3d");
        return false;
    }
    m_kind = *kind;

    nuvsim::ResetViewer();
    nuvsim::Config config = nuvsim::GetConfig();
    config.launchFile = m_launchPath;
    config.documentKind = m_kind;
    config.documentKeySecond = m_options.documentKey;
    config.helperKeepsAgent = m_options.helperKeepsAgent;
    nuvsim::SetConfig(config);

    Line(std::string("== viewer session: ") + m_launchPath);
    Field("document", std::string(KindName(m_kind)) + " (from " + kindSource + "), handle " +
                          std::to_string(m_options.documentHandle) + ", key " +
                          std::to_string(kDocumentKeyFirst) + "/" + std::to_string(m_options.documentKey));
    if (!m_options.agentData.empty()) {
        if (!FileExists(m_options.agentData)) {
            Field("agent data", m_options.agentData + " does not exist yet: the viewer starts with none");
        } else {
            const HRESULT hr = nuvsim::LoadAgentData(m_options.agentData);
            if (FAILED(hr)) {
                Fail("the agent data file " + m_options.agentData + " does not read well (" + HresultText(hr) + ")");
                return false;
            }
            Field("agent data", "loaded " + m_options.agentData + " (" +
                                    std::to_string(nuvsim::AgentDataEntries().size()) + " entries)");
        }
    }
    return true;
}

bool Session::OpenLaunchFile() {
    std::string error;
    const HRESULT hr = m_loader.Create(error);
    if (FAILED(hr)) {
        Fail(error + " [" + HresultText(hr) + "]");
        return false;
    }
    Field("agent", m_loader.Description());
    if (m_options.helperKeepsAgent) Field("helper", "keeps a reference on the agent until the session ends");
    ComPtr<IAgentFileOpen> open = Query<IAgentFileOpen>(m_loader.Agent());
    m_session = Query<IAgentSession>(m_loader.Agent());
    if (!open || !m_session) {
        Fail("the agent does not answer its file-open and session interfaces");
        return false;
    }
    ComPtr<IStream> stream;
    const HRESULT opened =
        stream.receive([&](auto out) { return open->OpenStream(m_launchPath.c_str(), 0, out); });
    Field("OpenStream", HresultText(opened) + (stream ? ", stream handed back and released" : ", no stream"));
    if (FAILED(opened)) m_failed = true;
    return true;
}

void Session::LoadDocument() {
    const HRESULT hr = m_session->LoadDocumentMarkups(m_options.documentHandle);
    Field("LoadDocumentMarkups", HresultText(hr));
    if (FAILED(hr)) m_failed = true;
}

void Session::Markup() {
    const HRESULT hr = m_session->BeginMarkup(m_options.documentKey);
    Field("BeginMarkup", HresultText(hr));
    for (const nuvsim::MarkupKindInfo& kind : nuvsim::EnabledMarkupKinds())
        Field("markup kind", kind.name + " enabled, flag " + std::to_string(kind.flag) +
                                 (kind.flag ? " (markups may be created)" : " (view only)"));
    Field("PreserveExtensions", PreserveText() + " after BeginMarkup (HKCU\\" + PreserveExtensionsKey() + ")");
}

HRESULT Session::SaveAs(const std::string& markupPath) {
    const LONG handle = m_options.documentHandle;
    switch (m_kind) {
        case nuvsim::kKindPdf: return nuvsim::SavePdfMarkup(handle, markupPath.c_str());
        case nuvsim::kKind2D: return nuvsim::Save2DMarkup(handle, markupPath.c_str());
        default: return nuvsim::Save3DMarkup(nuvsim::GetConfig().viewHandle3D, handle, markupPath.c_str());
    }
}

void Session::Save(const std::string& markupPath) {
    Line("-- save markup " + markupPath);
    const SaveRecordWatch record(RecordFile(m_options.recordFile));
    std::string shown;
    HRESULT hr;
    {
        std::optional<MessageBoxCloser> closer;
        if (m_options.autoOk) closer.emplace(MessageCaption());
        StderrCapture captured;
        hr = SaveAs(markupPath);
        shown = Trimmed(captured.Finish());
        if (closer) {
            const std::string boxText = closer->Finish();
            if (!boxText.empty()) shown = "message box \"" + boxText + "\", OK pressed";
        }
    }
    Field("result", HresultText(hr));
    if (!shown.empty()) {
        Field("refused", shown);
        return;
    }
    if (FAILED(hr)) {
        Field("not saved", "the agent refused the save, or its command did not start");
        return;
    }
    Field("save command", "launched");
    if (RecordFile(m_options.recordFile).empty() || m_options.waitSaveSeconds <= 0) return;
    const std::string recorded = Trimmed(record.WaitForNew(m_options.waitSaveSeconds));
    Field("recorded", recorded.empty() ? "nothing within the wait" : recorded);
}

void Session::Finish() {
    const HRESULT ended = m_session->EndMarkup(0);
    Field("EndMarkup", HresultText(ended));
    Field("PreserveExtensions", PreserveText() + " after EndMarkup");
    m_haveDocument = nuvsim::FindDocument(
        m_kind == nuvsim::kKind3D ? nuvsim::GetConfig().viewHandle3D : m_options.documentHandle, &m_document);
    const HRESULT saved = m_session->SaveViewList();
    Field("SaveViewList", HresultText(saved));
    if (FAILED(saved)) m_failed = true;
    if (!m_options.agentData.empty()) {
        const HRESULT written = nuvsim::SaveAgentData(m_options.agentData);
        Field("agent data", (SUCCEEDED(written) ? "written to " : "could not be written to ") + m_options.agentData);
        if (FAILED(written)) m_failed = true;
    }
}

void Session::ReportViewList() {
    const std::optional<StoredViewList> stored = ReadStoredViewList(kDocumentKeyFirst, m_options.documentKey);
    const bool restored = m_launch.Value(kSectionServerFile, kKeyFileTypeId) == kPlainSessionType ||
                          m_launch.Value(kSectionServerFile, kKeyFileTypeId).empty();
    Line(std::string("-- PDM settings (as the agent stored them in the agent data") +
         (stored ? ", block " + std::to_string(stored->block) + ")" : ")"));
    if (!stored) {
        Line("  the agent stored nothing for this document");
        return;
    }
    Field("launch file", stored->Value(kSectionServerFile, kKeyServerPath) + " (the block's key)");
    Field("object id", stored->Value(kSectionServerFile, kStoredKeyObjectId));
    Field("PDM vendor", stored->Value(kSectionServerFile, kKeyPdmVendor));
    Field("PDM host:port", stored->Value(kSectionServerFile, kKeyPdmHost) + ":" + stored->Value(kSectionServerFile, kKeyPdmPort));
    Field("view mode", stored->Value(kSectionServerFile, kKeyViewMode));
    Line("  from the launch file (the agent does not store these):");
    Field("file type", m_launch.Value(kSectionServerFile, kKeyFileTypeId) +
                           (restored ? " (plain session: the view list was restored from the agent data)" : ""));
    Field("session id", m_launch.Value(kSectionServerFile, kKeySessionId));
    Field("server file", m_launch.Value(kSectionServerFile, kKeyServerPath));
    ReportLayers(stored->Markups(), restored);
}

void Session::ReportLayers(const std::vector<StoredMarkup>& markups, bool restored) {
    Line("-- markup layers (" + std::to_string(markups.size()) + ")");
    for (size_t k = 0; k < markups.size(); ++k) {
        const StoredMarkup& markup = markups[k];
        Line("  [" + std::to_string(k) + "] " + markup.location);
        if (!markup.objectId.empty()) Field("  object id", markup.objectId);
        Field("  local path", markup.localPath.empty() ? "(none: the PDM serves it)" : markup.localPath);
        Field("  access", restored ? "(not kept in the agent data)"
                                   : m_launch.Value(kSectionViewList, kKeyMarkupAccess + std::to_string(k)));
        std::string layer = "not loaded into this document";
        if (restored) layer += " (restored entries count as loaded)";
        if (m_haveDocument && !markup.localPath.empty()) {
            for (const nuvsim::LayerInfo& info : m_document.layers) {
                if (info.path != markup.localPath) continue;
                layer = "layer " + std::to_string(info.number) +
                        (info.readOnly ? ", made read-only by the agent" : ", writable");
            }
        }
        Field("  in the viewer", layer);
    }
}

void Session::End() {
    nuvsim::CloseDocuments();
    m_session.reset();
    // A helper that kept the agent lets go of it last, as the viewer's session ends.
    m_loader.ReleaseAgent();
    if (nuvsim::ReleaseKeptAgents() != 0) {
        m_failed = true;
        Line("references: the agent outlived the helper's reference");
    }
    m_loader.Unload();
    if (m_options.trace) {
        Line("-- viewer calls made by the agent");
        for (const std::string& call : nuvsim::CallLog()) Line("  " + call);
    }
    if (nuvsim::AllReleased()) {
        Line("references: every viewer reference the agent took was released");
        return;
    }
    m_failed = true;
    Line("references: NOT all released");
    for (const std::string& line : nuvsim::UnbalancedObjects()) Line("  " + line);
    for (const std::string& line : nuvsim::ReferenceErrors()) Line("  " + line);
}

void Session::ReportAgentOutput() {
    const std::vector<std::string> lines = m_debugOutput->Finish();
    Line("-- the agent's debug output (" + std::to_string(lines.size()) + " lines)");
    if (!m_debugOutput->Problem().empty()) Line("  " + m_debugOutput->Problem());
    for (const std::string& line : lines) Line("  " + line);
    const std::vector<std::string> events = m_eventLog->Finish();
    Line("-- the agent's event log (" + std::to_string(events.size()) + " entries)");
    if (!m_eventLog->Problem().empty()) Line("  " + m_eventLog->Problem());
    for (const std::string& event : events) Line("  " + event);
}

int Session::Run() {
    if (!Prepare()) return kExitSetup;
    m_debugOutput.emplace();
    m_eventLog.emplace();
    if (!OpenLaunchFile()) return kExitSetup;
    LoadDocument();
    Markup();
    for (const std::string& path : m_options.saveMarkups) Save(path);
    Line("-- end of markup");
    Finish();
    ReportViewList();
    End();
    ReportAgentOutput();
    std::fflush(stdout);
    return m_failed ? kExitSessionFailed : kExitOk;
}

}  // namespace

int RunSession(const Options& options) { return Session(options).Run(); }

}  // namespace host
