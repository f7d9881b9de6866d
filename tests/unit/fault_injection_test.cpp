// Every viewer operation of a whole session, made to fail (with nothing, or
// with garbage left in its out arguments) or to hand back a null object in the
// middle of it: the agent must stay up, pass on the viewer's code or report
// a failure of its own, give back every reference and forget whatever a
// failed call left behind, and still serve the next call once the viewer
// behaves again.
#include "platform/system/launch.h"
#include "tests/support/agent_fixture.h"
#include "tests/support/hresult.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <set>

namespace {

const char kPdmLaunch[] =
    "[ServerFile]\r\n"
    "ServerPath=D:\\srv\\gear.dwg\r\n"
    "FileTypeID=PDM.Drawing\r\n"
    "session_id=42\r\n"
    "object_id=OBJ-7\r\n"
    "[ViewList]\r\n"
    "NumMarkups=2\r\n"
    "Markup0=D:\\srv\\gear_1.xml\r\n"
    "MarkupAccess0=read\r\n"
    "Markup1=http://pdm.example/get?object_id=M%2F2&ext=xml\r\n"
    "NumParts=1\r\n"
    "Part0=D:\\srv\\part.dwg\r\n"
    "DMAgent=DMAgent\r\n"
    "Application=view\r\n";
const char kPlainLaunch[] = "[ServerFile]\r\nViewMode=ViewOnly\r\n";

constexpr LONG kDocument = 21;
constexpr LONG kFirstKey = 5;
constexpr LONG kSecondKey = 6;
const nuvsim::DocumentKind kKinds[] = {nuvsim::kKindPdf, nuvsim::kKind2D, nuvsim::kKind3D};

// Every operation the agent calls on the viewer during the session below, in
// any document kind (kept in step with the session by CleanSessionCallsExactlyThese).
const char* const kOperations[] = {
    "AgentHelper::QueryInterface",
    "Document2D::QueryInterface",
    "Document3D::QueryInterface",
    "FileStreamSource::QueryInterface",
    "I2DDocument::AddSaveHandler",
    "I2DDocument::RemoveSaveHandler",
    "I2DLayers::GetLayer",
    "I2DLayers::GetLayerName",
    "I2DLayers::LoadMarkupFile",
    "I2DLayers::SetLayerReadOnly",
    "I3DDocument::LoadMarkupFile",
    "IAgentHelper::GetDocument",
    "IAgentHelper::GetMarkupManager",
    "IAgentHelper::GetSettingsSource",
    "IAgentHelper::RegisterAgent",
    "IDocumentLookup::GetDocumentIndex",
    "IDocumentLookup::GetDocumentKey",
    "IDocumentLookup::GetDocumentKind",
    "IDocumentLookup::GetViewerSession",
    "IDocumentLookup::UnnamedValue5",
    "IFileStreamSource::OpenFile",
    "IMarkupManager::EnableMarkupKind",
    "IMarkupManager::GetAgentString",
    "IMarkupManager::SetAgentString",
    "IPdfDocument::GetCurrentLayer",
    "IPdfDocument::LoadMarkupFile",
    "IPdfDocument::SetLayerReadOnly",
    "IPdfDocument::UnnamedValue13",
    "ISettingsSource::ReadProfileValue",
    "IViewerEvents::AddSink",
    "IViewerEvents::RemoveSink",
    "IViewerSession::GetDocument",
    "IViewerSession::GetViewHandle",
    "NUVCoCreateInstance(AgentHelper)",
    "NUVCoCreateInstance(FileStreamSource)",
    "PdfDocument::QueryInterface",
};

// Each operation fails with a code of its own, one that no part of the
// system makes itself, so a code can only come from that operation's fault.
HRESULT InjectedCode(const std::string& operation) {
    const auto found = std::find(std::begin(kOperations), std::end(kOperations), operation);
    return static_cast<HRESULT>(0x8004F000L + (found - std::begin(kOperations)) + 1);
}

// Where the viewer's failure comes back unchanged: the operation, the
// document kinds (none listed: every kind) and the steps of RunSession.
struct PassedBack {
    const char* operation;
    std::vector<LONG> kinds;
    std::vector<std::string> steps;
};
const std::vector<std::string> kStarts = {"ResolvePath", "ResolvePath (restoring)"};
const std::vector<std::string> kLoads = {"LoadDocumentMarkups", "LoadDocumentMarkups (restoring)"};
const std::vector<std::string> kLoadsAndStop = {"LoadDocumentMarkups", "Stop", "LoadDocumentMarkups (restoring)"};
const PassedBack kPassedBack[] = {
    {"IAgentHelper::GetMarkupManager", {}, kStarts},
    {"IDocumentLookup::GetViewerSession", {}, kStarts},
    {"IDocumentLookup::GetDocumentKind", {}, kStarts},
    {"IDocumentLookup::GetDocumentKey", {}, kStarts},
    {"IDocumentLookup::UnnamedValue5", {}, kStarts},
    {"NUVCoCreateInstance(FileStreamSource)", {}, {"OpenStream"}},
    {"IFileStreamSource::OpenFile", {}, {"OpenStream"}},
    {"FileStreamSource::QueryInterface", {}, {"OpenStream"}},
    {"IViewerSession::GetDocument", {nuvsim::kKindPdf, nuvsim::kKind3D}, kLoadsAndStop},
    {"PdfDocument::QueryInterface", {nuvsim::kKindPdf}, kLoadsAndStop},
    {"IViewerEvents::AddSink", {nuvsim::kKindPdf, nuvsim::kKind3D}, kLoads},
    {"IViewerEvents::RemoveSink", {nuvsim::kKindPdf, nuvsim::kKind3D}, {"Stop"}},
    {"IAgentHelper::GetDocument", {nuvsim::kKind2D}, kLoadsAndStop},
    {"Document2D::QueryInterface", {nuvsim::kKind2D}, kLoads},
    {"I2DDocument::AddSaveHandler", {nuvsim::kKind2D}, kLoads},
    {"I2DDocument::RemoveSaveHandler", {nuvsim::kKind2D}, {"Stop"}},
    {"IViewerSession::GetViewHandle", {nuvsim::kKind3D}, kLoadsAndStop},
    {"Document3D::QueryInterface", {nuvsim::kKind3D}, kLoadsAndStop},
    {"AgentHelper::QueryInterface", {}, {"SaveViewList"}},
    {"IDocumentLookup::GetDocumentIndex", {}, {"SaveViewList"}},
    {"IMarkupManager::SetAgentString", {}, {"SaveViewList"}},
};

bool PassesBack(const std::string& operation, LONG kind, const std::string& step) {
    for (const PassedBack& row : kPassedBack) {
        if (operation != row.operation) continue;
        const bool ofKind = row.kinds.empty() || std::count(row.kinds.begin(), row.kinds.end(), kind);
        return ofKind && std::count(row.steps.begin(), row.steps.end(), step);
    }
    return false;
}

std::string OperationOf(const std::string& line) {
    const size_t open = line.find('(');
    if (line.rfind("NUVCoCreateInstance", 0) == 0) return line.substr(0, line.find(',')) + ")";
    return line.substr(0, open);
}


enum class Fault { kNone, kFail, kFailWithGarbage, kNullOut };

struct Step {
    LONG kind;
    std::string name;
    HRESULT hr;
};

class FaultInjection : public QuietSessionTest {
protected:

    void Record(const char* name, HRESULT hr) { m_steps.push_back({m_kind, name, hr}); }

    HRESULT Save(LONG kind) {
        const char* path = "D:\\srv\\gear_2.xml";
        switch (kind) {
        case nuvsim::kKindPdf: return nuvsim::SavePdfMarkup(kDocument, path);
        case nuvsim::kKind2D: return nuvsim::Save2DMarkup(kDocument, path);
        default: return nuvsim::Save3DMarkup(nuvsim::GetConfig().viewHandle3D, kDocument, path);
        }
    }

    // The viewer opens the launch file as a stream: a stream comes back
    // with success, nothing with a failure.
    void OpenAsStream() {
        IStream* stream = nullptr;
        const HRESULT hr = Session<IAgentFileOpen>()->OpenStream((m_dir / "view.zvl").string().c_str(), 0, &stream);
        Record("OpenStream", hr);
        if (SUCCEEDED(hr) && stream) stream->Release();
        if (FAILED(hr)) {
            EXPECT_EQ(nullptr, stream) << "OpenStream handed out what a failed call left";
        }
    }

    // The launch file read and opened, markups loaded into the document, a
    // markup session with a save, the view list written, the session
    // stopped; then a plain session of the same launch file that restores
    // it. The fault holds throughout.
    void RunSession(LONG kind, Fault fault, const std::string& operation) {
        nuvsim::ResetViewer();
        nuvsim::MapDocumentKey(0, kFirstKey, 0);
        nuvsim::MapDocumentKey(0, kSecondKey, 1);
        m_kind = kind;
        if (fault == Fault::kFail) nuvsim::FailOperation(operation, InjectedCode(operation));
        if (fault == Fault::kFailWithGarbage) nuvsim::FailOperationWithGarbage(operation, InjectedCode(operation));
        if (fault == Fault::kNullOut) nuvsim::NullOutOperation(operation);

        Record("ResolvePath", StartSession(kPdmLaunch, kind));
        OpenAsStream();
        Record("LoadDocumentMarkups", AgentSession()->LoadDocumentMarkups(kDocument));
        Record("BeginMarkup", AgentSession()->BeginMarkup(kFirstKey));
        Save(kind);
        Record("EndMarkup", AgentSession()->EndMarkup(0));
        Record("SaveViewList", AgentSession()->SaveViewList());
        Record("Stop", Session<IAgentSessionControl>()->Stop());
        nuvsim::CloseDocuments();
        ReleaseAgent();

        const HRESULT started = StartSession(kPlainLaunch, kind);
        Record("ResolvePath (restoring)", started);
        Record("LoadViewList", AgentSession()->LoadViewList());
        Record("LoadDocumentMarkups (restoring)", AgentSession()->LoadDocumentMarkups(kDocument));
        Record("BeginMarkup (restoring)", AgentSession()->BeginMarkup(kSecondKey));

        // The viewer recovers: the agent's lists must still serve it.
        if (fault != Fault::kNone) m_faultedCalls += nuvsim::CallCount(operation);
        nuvsim::ClearFaults();
        const HRESULT again = AgentSession()->SaveViewList();
        if (SUCCEEDED(started)) {
            EXPECT_HR(S_OK, again) << "kind " << kind;
        }
        Record("LoadDocumentMarkups (after the fault)", AgentSession()->LoadDocumentMarkups(kDocument + 1));
        nuvsim::CloseDocuments();
        ReleaseAgent();
        EXPECT_THAT(ReferenceProblems(), testing::IsEmpty()) << "kind " << kind;
    }

    // Where the viewer's failure is passed back, the step returns its very
    // code. Any other failure the agent reports is that code or one of its
    // own: E_FAIL for a step it could not take, E_NOINTERFACE for an
    // interface query that brought nothing back.
    void ExpectOnlyKnownFailures(Fault fault, const std::string& operation) {
        const std::set<HRESULT> own = {E_FAIL, E_NOINTERFACE};
        const bool injected = fault == Fault::kFail || fault == Fault::kFailWithGarbage;
        const HRESULT code = InjectedCode(operation);
        for (const Step& step : m_steps) {
            if (injected && PassesBack(operation, step.kind, step.name)) {
                EXPECT_HR(code, step.hr) << step.name << ", kind " << step.kind;
                continue;
            }
            if (SUCCEEDED(step.hr)) continue;
            const bool known = own.count(step.hr) || (injected && step.hr == code);
            EXPECT_TRUE(known) << step.name << ", kind " << step.kind << " returned 0x" << std::hex
                               << static_cast<unsigned long>(step.hr);
        }
    }

    std::vector<Step> m_steps;
    LONG m_kind = nuvsim::kKindNone;
    long m_faultedCalls = 0;
};

TEST_F(FaultInjection, CleanSessionCallsExactlyThese) {
    std::set<std::string> seen;
    for (const LONG kind : kKinds) {
        nuvsim::ResetViewer();
        nuvsim::MapDocumentKey(0, kFirstKey, 0);
        nuvsim::MapDocumentKey(0, kSecondKey, 1);
        ASSERT_HR(S_OK, StartSession(kPdmLaunch, kind));
        OpenAsStream();
        AgentSession()->LoadDocumentMarkups(kDocument);
        AgentSession()->BeginMarkup(kFirstKey);
        Save(kind);
        AgentSession()->EndMarkup(0);
        ASSERT_HR(S_OK, AgentSession()->SaveViewList());
        ASSERT_HR(S_OK, Session<IAgentSessionControl>()->Stop());
        nuvsim::CloseDocuments();
        ReleaseAgent();
        ASSERT_HR(S_OK, StartSession(kPlainLaunch, kind));
        AgentSession()->LoadViewList();
        AgentSession()->LoadDocumentMarkups(kDocument);
        AgentSession()->BeginMarkup(kSecondKey);
        ASSERT_HR(S_OK, AgentSession()->SaveViewList());
        for (const std::string& line : nuvsim::CallLog()) seen.insert(OperationOf(line));
        nuvsim::CloseDocuments();
        ReleaseAgent();
    }
    EXPECT_EQ(std::set<std::string>(std::begin(kOperations), std::end(kOperations)), seen);
}

class EveryOperation : public FaultInjection, public testing::WithParamInterface<const char*> {};

TEST_P(EveryOperation, FailingStaysSafe) {
    for (const LONG kind : kKinds) RunSession(kind, Fault::kFail, GetParam());
    EXPECT_GT(m_faultedCalls, 0);
    ExpectOnlyKnownFailures(Fault::kFail, GetParam());
}

TEST_P(EveryOperation, FailingWithGarbageInTheOutArgumentsStaysSafe) {
    for (const LONG kind : kKinds) RunSession(kind, Fault::kFailWithGarbage, GetParam());
    EXPECT_GT(m_faultedCalls, 0);
    ExpectOnlyKnownFailures(Fault::kFailWithGarbage, GetParam());
}

TEST_P(EveryOperation, NullOutStaysSafe) {
    for (const LONG kind : kKinds) RunSession(kind, Fault::kNullOut, GetParam());
    EXPECT_GT(m_faultedCalls, 0);
    ExpectOnlyKnownFailures(Fault::kNullOut, GetParam());
}

std::string TestName(const testing::TestParamInfo<const char*>& info) {
    std::string name;
    for (const char* c = info.param; *c; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
    return name;
}

INSTANTIATE_TEST_SUITE_P(Viewer, EveryOperation, testing::ValuesIn(kOperations), TestName);

}  // namespace
