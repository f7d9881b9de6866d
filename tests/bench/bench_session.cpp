#include "tests/bench/bench_session.h"

#include "interfaces/guids.h"
#include "platform/com/result.h"
#include "viewer/sim_control.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

namespace bench {
namespace {

namespace fs = std::filesystem;

// The PDM front end's save command; "&" makes the agent refuse the line.
constexpr char kRefusedSaveCommand[] = "pdm-save&exit";
constexpr char kObjectId[] = "OBJ-1";

std::string Line(const std::string& key, const std::string& value) { return key + "=" + value + "\n"; }

void Store(LONG entry, const std::string& text) { nuvsim::SetAgentData(GUID_AgentDataOwner, 0, entry, text); }

}  // namespace

Workspace::Workspace() {
    std::random_device seed;
    const fs::path folder = fs::temp_directory_path() / ("zelbench-" + std::to_string(seed()));
    fs::create_directories(folder);
    m_folder = folder.string();
    m_launchPath = (folder / "session.zvl").string();
}

Workspace::~Workspace() {
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
}

std::string Workspace::MarkupPath(long n) const {
    return (fs::path(m_folder) / ("markup" + std::to_string(n) + ".xml")).string();
}

std::string Workspace::PdmLaunchText(long markups) const {
    std::string text = "[ServerFile]\n";
    text += Line("ServerPath", (fs::path(m_folder) / "drawing.dwg").string());
    text += Line("FileTypeID", "Drawing.DWG");
    text += Line("ViewMode", "Markup");
    text += Line("session_id", "S-1");
    text += Line("object_id", kObjectId);
    text += Line("PDMVendor", "Bench PDM");
    text += Line("PDM_host", "pdm.example.com");
    text += Line("PDM_port", "8080");
    text += "[ViewList]\n";
    text += Line("NumMarkups", std::to_string(markups));
    for (long n = 0; n < markups; ++n) {
        text += Line("Markup" + std::to_string(n), MarkupPath(n));
        text += Line("MarkupAccess" + std::to_string(n), n % 2 ? "write" : "read");
    }
    text += Line("DMAgent", kRefusedSaveCommand);
    text += Line("Application", "ZelView");
    return text;
}

std::string Workspace::PlainLaunchText() const {
    return "[ServerFile]\n" + Line("ServerPath", (fs::path(m_folder) / "drawing.dwg").string()) +
           Line("FileTypeID", "ZelView.Session") + Line("session_id", "S-2") + "[ViewList]\n" +
           Line("DMAgent", kRefusedSaveCommand) + Line("Application", "ZelView");
}

void Workspace::WriteLaunchFile(const std::string& text) const {
    std::ofstream(m_launchPath, std::ios::binary | std::ios::trunc) << text;
    nuvsim::SetLaunchFile(m_launchPath);
}

long Workspace::StoreViewList(long markups, long parts) const {
    LONG entry = 0;
    const auto value = [&](const std::string& section, const std::string& key, const std::string& text) {
        Store(entry++, "[" + section + "]" + key);
        Store(entry++, text);
    };
    value("ServerFile", "ServerPath", m_launchPath);
    value("ServerFile", "ObjectId", kObjectId);
    value("ServerFile", "ViewMode", "Markup");
    value("ServerFile", "PDMVendor", "Bench PDM");
    value("ServerFile", "PDM_host", "pdm.example.com");
    value("ServerFile", "PDM_port", "8080");
    for (long k = 0; k < markups; ++k) {
        value("ViewList", "Markup" + std::to_string(2 * k), MarkupPath(k));
        value("ViewList", "object_id" + std::to_string(2 * k + 1), "MK-" + std::to_string(k));
        value("ViewList", "LocalPath" + std::to_string(2 * k + 1), MarkupPath(k));
    }
    value("ViewList", "NumMarkups", std::to_string(2 * markups));
    for (long k = 0; k < parts; ++k) {
        value("ViewList", "Part" + std::to_string(2 * k), "part" + std::to_string(k) + ".prt");
        value("ViewList", "PartId" + std::to_string(2 * k + 1), "PT-" + std::to_string(k));
    }
    value("ViewList", "NumParts", std::to_string(2 * parts));
    return entry;
}

void ResetViewer(const Workspace& workspace, LONG kind) {
    nuvsim::ResetViewer();
    nuvsim::Config config = nuvsim::GetConfig();
    config.launchFile = workspace.LaunchPath();
    config.documentKind = kind;
    config.documentKeySecond = kDocumentKey;
    nuvsim::SetConfig(config);
    nuvsim::SetCallLogEnabled(false);
}

Session::Session(const AgentMaker& make) {
    if (FAILED(make(m_agent.put()))) return;
    m_session.receive([&](auto out) { return m_agent->QueryInterface(IID_PPV(out)); });
}

Session::~Session() { End(); }

HRESULT Session::Open(const std::string& launchPath) {
    ComPtr<IAgentPathResolve> resolve;
    RETURN_IF_FAILED(m_agent->QueryInterface(IID_PPV(resolve.put())));
    std::string buffer(launchPath.size() + 1, '\0');
    return resolve->ResolvePath(launchPath.c_str(), buffer.data(), 0, 0);
}

HRESULT Session::SaveMarkup(LONG kind, const std::string& path) {
    switch (kind) {
    case nuvsim::kKindPdf: return nuvsim::SavePdfMarkup(kDocumentHandle, path.c_str());
    case nuvsim::kKind2D: return nuvsim::Save2DMarkup(kDocumentHandle, path.c_str());
    default: return nuvsim::Save3DMarkup(nuvsim::GetConfig().viewHandle3D, kDocumentHandle, path.c_str());
    }
}

void Session::End() {
    if (!m_agent) return;
    // The viewer lets go of the agent's handlers first, then of the agent.
    nuvsim::CloseDocuments();
    m_session.reset();
    m_agent.reset();
}

SessionResult RunSession(const AgentMaker& make, const Workspace& workspace, long markups) {
    SessionResult result;
    const auto fail = [&](const std::string& step, HRESULT hr) {
        result.failure = step + " answered " + std::to_string(static_cast<long>(hr));
        return result;
    };
    ResetViewer(workspace, nuvsim::kKind2D);
    workspace.WriteLaunchFile(workspace.PdmLaunchText(markups));
    StepTimer timer;
    nuvsim::ClearCallLog();

    std::optional<Session> session;
    timer.Measure([&] { session.emplace(make); });
    if (!session->Created()) return fail("creating the agent", E_FAIL);
    HRESULT hr = timer.Measure([&] { return session->Open(workspace.LaunchPath()); });
    if (FAILED(hr)) return fail("the launch file", hr);
    hr = timer.Measure([&] { return session->Agent()->LoadDocumentMarkups(kDocumentHandle); });
    if (FAILED(hr)) return fail("LoadDocumentMarkups", hr);
    timer.Measure([&] { return session->Agent()->BeginMarkup(kDocumentKey); });
    // Refused for its command line, after the lookup.
    hr = timer.Measure([&] { return session->SaveMarkup(nuvsim::kKind2D, workspace.MarkupPath(markups - 1)); });
    if (hr != E_FAIL) return fail("the save", hr);
    timer.Measure([&] { return session->Agent()->EndMarkup(0); });
    hr = timer.Measure([&] { return session->Agent()->SaveViewList(); });
    if (FAILED(hr)) return fail("SaveViewList", hr);
    nuvsim::DocumentInfo document{};
    if (!nuvsim::FindDocument(kDocumentHandle, &document) ||
        document.layers.size() != static_cast<size_t>(markups) + 1)
        return fail("the document's layers", E_FAIL);
    timer.Measure([&] { session.reset(); });
    const size_t stored = nuvsim::AgentDataEntries().size();

    workspace.WriteLaunchFile(workspace.PlainLaunchText());
    timer.Measure([&] { session.emplace(make); });
    if (!session->Created()) return fail("creating the second agent", E_FAIL);
    hr = timer.Measure([&] { return session->Open(workspace.LaunchPath()); });
    if (FAILED(hr)) return fail("the plain session's launch file", hr);
    hr = timer.Measure([&] { return session->Agent()->LoadDocumentMarkups(kDocumentHandle); });
    if (FAILED(hr)) return fail("the second LoadDocumentMarkups", hr);
    hr = timer.Measure([&] { return session->Agent()->SaveViewList(); });
    if (FAILED(hr)) return fail("the second SaveViewList", hr);
    timer.Measure([&] { session.reset(); });
    // The restored view list saves back as it was stored.
    if (nuvsim::AgentDataEntries().size() != stored) return fail("the restored view list", E_FAIL);

    result.ok = true;
    result.seconds = timer.Seconds();
    result.viewerCalls = nuvsim::CallCount();
    return result;
}

}  // namespace bench
