// Viewing sessions driven the way the viewer drives them, against the
// stand-in viewer: session start, markup layers in each document kind, the
// markup session and PreserveExtensions.
#include "platform/system/registry.h"
#include "tests/support/agent_fixture.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scoped_env.h"
#include "tests/support/hresult.h"

#include <gmock/gmock.h>

using testing::ElementsAre;
using testing::IsEmpty;
using testing::PrintToString;

namespace {

const char kLaunchText[] =
    "[ServerFile]\r\n"
    "ServerPath=D:\\srv\\gear.dwg\r\n"
    "FileTypeID=PDM.Drawing\r\n"
    "session_id=42\r\n"
    "object_id=OBJ-7\r\n"
    "PDMVendor=ExamplePDM\r\n"
    "PDM_host=pdm.example\r\n"
    "PDM_port=8080\r\n"
    "[ViewList]\r\n"
    "NumMarkups=3\r\n"
    "Markup0=D:\\srv\\gear_1.xml\r\n"
    "MarkupAccess0=read\r\n"
    "Markup1=D:\\srv\\gear_2.xml\r\n"
    "MarkupAccess1=write\r\n"
    "Markup2=D:\\srv\\gear_3.xml\r\n"
    "MarkupAccess2=READ\r\n"
    "DMAgent=DMAgent\r\n"
    "Application=view\r\n";

// The operation names of the log lines, without their arguments.
std::vector<std::string> Operations(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const std::string& line : lines) names.push_back(line.substr(0, line.find('(')));
    return names;
}

std::vector<bool> ReadOnlyFlags(LONG handle) {
    nuvsim::DocumentInfo info{};
    EXPECT_TRUE(nuvsim::FindDocument(handle, &info)) << handle << " among " << PrintToString(nuvsim::Documents());
    std::vector<bool> flags;
    for (const auto& layer : info.layers) flags.push_back(layer.readOnly);
    return flags;
}

std::vector<std::string> LayerPaths(LONG handle) {
    nuvsim::DocumentInfo info{};
    EXPECT_TRUE(nuvsim::FindDocument(handle, &info)) << handle << " among " << PrintToString(nuvsim::Documents());
    std::vector<std::string> paths;
    for (const auto& layer : info.layers) paths.push_back(layer.path);
    return paths;
}

class Sessions : public QuietSessionTest {};

TEST_F(Sessions, StartJoinsTheViewerSessionAndReadsTheLaunchFile) {
    ASSERT_HR(S_OK, StartSession(kLaunchText, nuvsim::kKind2D));
    LONG started = 0;
    EXPECT_HR(S_OK, Session<IAgentSessionControl>()->IsStarted(&started));
    EXPECT_EQ(1, started);
    EXPECT_EQ(1, nuvsim::RegisterAgentCalls());
    EXPECT_EQ(static_cast<IDMAgent*>(m_impl), nuvsim::RegisteredAgent());

    // A second name only comes back; the session does not start again.
    nuvsim::ClearCallLog();
    char buffer[64] = {};
    EXPECT_HR(S_OK, Session<IAgentPathResolve>()->ResolvePath("D:\\other.dwg", buffer, 0, 0));
    EXPECT_STREQ("D:\\other.dwg", buffer);
    EXPECT_THAT(nuvsim::CallLog(), IsEmpty());
    EXPECT_HR(S_OK, Session<IAgentSessionControl>()->Start());
    EXPECT_THAT(nuvsim::CallLog(), IsEmpty());
}

TEST_F(Sessions, OpenStreamHandsOutARealStreamAndStartsOnce) {
    nuvsim::SetDocumentKind(nuvsim::kKindPdf);
    const std::string path = WriteLaunchFile(kLaunchText);
    CreateAgent();
    IStream* stream = nullptr;
    ASSERT_HR(S_OK, Session<IAgentFileOpen>()->OpenStream(path.c_str(), 0, &stream));
    ASSERT_NE(nullptr, stream);
    stream->Release();
    nuvsim::ClearCallLog();
    ASSERT_HR(S_OK, Session<IAgentFileOpen>()->OpenStream(path.c_str(), 0, &stream));
    stream->Release();
    EXPECT_THAT(Operations(nuvsim::CallLog()),
                ElementsAre("NUVCoCreateInstance", "IFileStreamSource::OpenFile", "FileStreamSource::QueryInterface"));
}

TEST_F(Sessions, AFailedStartFixesTheLaunchFileAndIsNotRetried) {
    nuvsim::SetDocumentKind(nuvsim::kKindPdf);
    const std::string path = WriteLaunchFile(kLaunchText);
    CreateAgent();
    nuvsim::FailOperation("IAgentHelper::GetMarkupManager", E_ACCESSDENIED);
    IStream* stream = nullptr;
    EXPECT_HR(E_ACCESSDENIED, Session<IAgentFileOpen>()->OpenStream(path.c_str(), 0, &stream));
    EXPECT_EQ(nullptr, stream);
    nuvsim::ClearFaults();
    nuvsim::ClearCallLog();
    ASSERT_HR(S_OK, Session<IAgentFileOpen>()->OpenStream(path.c_str(), 0, &stream));
    stream->Release();
    EXPECT_EQ(0, nuvsim::CallCount("IAgentHelper::GetMarkupManager"));
    // Without a session nothing can be loaded or begun.
    EXPECT_HR(E_FAIL, AgentSession()->BeginMarkup(3));
}

TEST_F(Sessions, PdfDocumentGetsEveryMarkupWithLayersReadOnlyByAccess) {
    ASSERT_HR(S_OK, StartSession(kLaunchText, nuvsim::kKindPdf));
    nuvsim::ClearCallLog();
    ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(5));
    EXPECT_THAT(Operations(nuvsim::CallLog()),
                ElementsAre("IViewerSession::GetDocument", "IPdfDocument::UnnamedValue13",
                            "IPdfDocument::LoadMarkupFile", "IPdfDocument::GetCurrentLayer",
                            "IPdfDocument::SetLayerReadOnly", "IPdfDocument::LoadMarkupFile",
                            "IPdfDocument::LoadMarkupFile", "IPdfDocument::GetCurrentLayer",
                            "IPdfDocument::SetLayerReadOnly", "PdfDocument::QueryInterface",
                            "IViewerEvents::AddSink"));
    EXPECT_THAT(LayerPaths(5), ElementsAre("D:\\srv\\gear_1.xml", "D:\\srv\\gear_2.xml", "D:\\srv\\gear_3.xml"));
    EXPECT_THAT(ReadOnlyFlags(5), ElementsAre(true, false, true));

    // A second document of the session gets nothing twice.
    ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(6));
    EXPECT_THAT(LayerPaths(6), IsEmpty());
}

TEST_F(Sessions, TwoDDocumentKeepsItsBaseLayerReadOnlyAndNumbersMarkupsFromTwo) {
    ASSERT_HR(S_OK, StartSession(kLaunchText, nuvsim::kKind2D));
    nuvsim::ClearCallLog();
    ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(9));
    EXPECT_THAT(nuvsim::CallLog(),
                ElementsAre(testing::StartsWith("IAgentHelper::GetDocument"),
                            "Document2D::QueryInterface(I2DLayers)", "I2DLayers::GetLayer(1)",
                            testing::StartsWith("I2DLayers::SetLayerReadOnly"),
                            testing::StartsWith("I2DLayers::GetLayerName"),
                            "I2DLayers::LoadMarkupFile(\"D:\\srv\\gear_1.xml\", 2)", "I2DLayers::GetLayer(2)",
                            testing::StartsWith("I2DLayers::SetLayerReadOnly"),
                            "I2DLayers::LoadMarkupFile(\"D:\\srv\\gear_2.xml\", 3)",
                            "I2DLayers::LoadMarkupFile(\"D:\\srv\\gear_3.xml\", 4)", "I2DLayers::GetLayer(4)",
                            testing::StartsWith("I2DLayers::SetLayerReadOnly"),
                            testing::StartsWith("I2DDocument::AddSaveHandler")));
    EXPECT_THAT(ReadOnlyFlags(9), ElementsAre(true, true, false, true));

    // Again for the same document: nothing new, the base layer locked again,
    // the handler registered again.
    nuvsim::ClearCallLog();
    ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(9));
    EXPECT_EQ(0, nuvsim::CallCount("I2DLayers::LoadMarkupFile"));
    EXPECT_EQ(1, nuvsim::CallCount("I2DLayers::SetLayerReadOnly"));
    nuvsim::DocumentInfo info{};
    ASSERT_TRUE(nuvsim::FindDocument(9, &info)) << PrintToString(nuvsim::Documents());
    EXPECT_EQ(2, info.saveHandlerRegistrations);
}

// PDF and 2D lock a markup whose access is read in any case, and every
// markup when the view mode is exactly ViewOnly; 3D locks none. In every kind
// ViewOnly alone keeps the user from creating markups.
TEST_F(Sessions, ReadOnlyLayersAndMarkupCreationByKindAndViewMode) {
    struct Case {
        LONG kind;
        const char* viewMode;
        std::vector<bool> readOnly;  // a 2D base layer, then access read, write, READ, none
        LONG creation;
    };
    const Case cases[] = {
        {nuvsim::kKindPdf, "", {true, false, true, false}, 1},
        {nuvsim::kKindPdf, "ViewOnly", {true, true, true, true}, 0},
        {nuvsim::kKindPdf, "viewonly", {true, false, true, false}, 1},
        {nuvsim::kKind2D, "", {true, true, false, true, false}, 1},
        {nuvsim::kKind2D, "ViewOnly", {true, true, true, true, true}, 0},
        {nuvsim::kKind2D, "viewonly", {true, true, false, true, false}, 1},
        {nuvsim::kKind3D, "", {false, false, false, false}, 1},
        {nuvsim::kKind3D, "ViewOnly", {false, false, false, false}, 0},
    };
    std::string fourMarkups = kLaunchText;
    fourMarkups.replace(fourMarkups.find("NumMarkups=3"), 12, "NumMarkups=4");
    fourMarkups += "Markup3=D:\\srv\\gear_4.xml\r\n";
    for (const Case& c : cases) {
        std::string text = fourMarkups;
        text.insert(text.find("session_id"), std::string("ViewMode=") + c.viewMode + "\r\n");
        ASSERT_HR(S_OK, StartSession(text, c.kind));
        ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(5));
        const LONG handle = c.kind == nuvsim::kKind3D ? nuvsim::GetConfig().viewHandle3D : 5;
        EXPECT_EQ(c.readOnly, ReadOnlyFlags(handle)) << "kind " << c.kind << ", view mode " << c.viewMode;
        ASSERT_HR(S_OK, AgentSession()->BeginMarkup(4));
        ASSERT_FALSE(nuvsim::EnabledMarkupKinds().empty());
        EXPECT_EQ(c.creation, nuvsim::EnabledMarkupKinds().back().flag) << "kind " << c.kind << ", " << c.viewMode;
        nuvsim::CloseDocuments();
        ReleaseAgent();
    }
}

TEST_F(Sessions, ThreeDDocumentLoadsEveryMarkupWithoutLocking) {
    ASSERT_HR(S_OK, StartSession(kLaunchText, nuvsim::kKind3D));
    nuvsim::ClearCallLog();
    ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(21));
    EXPECT_THAT(Operations(nuvsim::CallLog()),
                ElementsAre("IViewerSession::GetViewHandle", "IViewerSession::GetDocument",
                            "I3DDocument::LoadMarkupFile", "I3DDocument::LoadMarkupFile",
                            "I3DDocument::LoadMarkupFile", "Document3D::QueryInterface",
                            "IViewerEvents::AddSink"));
    const LONG viewHandle = nuvsim::GetConfig().viewHandle3D;
    EXPECT_THAT(ReadOnlyFlags(viewHandle), ElementsAre(false, false, false));
    nuvsim::DocumentInfo info{};
    ASSERT_TRUE(nuvsim::FindDocument(viewHandle, &info)) << viewHandle << ": " << PrintToString(nuvsim::Documents());
    EXPECT_EQ(21, info.layers[0].documentHandle);
}

TEST_F(Sessions, ThreeDHandleIsListedEvenWhenTheViewCannotBeFound) {
    ASSERT_HR(S_OK, StartSession(kLaunchText, nuvsim::kKind3D));
    nuvsim::FailOperation("IViewerSession::GetViewHandle", E_UNEXPECTED);
    EXPECT_HR(E_UNEXPECTED, AgentSession()->LoadDocumentMarkups(33));
    nuvsim::ClearFaults();
    // A flag other than 1 means the view is not a 3D one.
    auto config = nuvsim::GetConfig();
    config.viewFlag3D = 0;
    nuvsim::SetConfig(config);
    EXPECT_HR(E_FAIL, AgentSession()->LoadDocumentMarkups(34));

    // Saves of both handles run the save command; one of a handle never
    // announced does not.
    DocumentMarkupSave save{33, "C:\\tmp\\gear_2.xml"};
    EXPECT_HR(S_OK, Session<IAgentNotify>()->Notify(kNotifySaveDocumentMarkup, nullptr, 0, &save, nullptr));
    save.documentHandle = 34;
    EXPECT_HR(S_OK, Session<IAgentNotify>()->Notify(kNotifySaveDocumentMarkupAlt, nullptr, 0, &save, nullptr));
    save.documentHandle = 35;
    EXPECT_HR(E_FAIL, Session<IAgentNotify>()->Notify(kNotifySaveDocumentMarkup, nullptr, 0, &save, nullptr));
    const std::string saved = "DMAgent MarkupSave 42 D:\\srv\\gear.dwg gear_2.xml view";
    EXPECT_THAT(Launched(), ElementsAre(saved, saved));
}

TEST_F(Sessions, ThreeDAsksForNoDocumentOfAViewThatIsNotA3DOne) {
    ASSERT_HR(S_OK, StartSession(kLaunchText, nuvsim::kKind3D));
    auto config = nuvsim::GetConfig();
    config.viewFlag3D = 2;
    nuvsim::SetConfig(config);
    nuvsim::ClearCallLog();
    EXPECT_HR(E_FAIL, AgentSession()->LoadDocumentMarkups(35));
    EXPECT_THAT(Operations(nuvsim::CallLog()), ElementsAre("IViewerSession::GetViewHandle"));
    // Nothing was loaded: the markups wait for a document that is a 3D one.
    config.viewFlag3D = 1;
    nuvsim::SetConfig(config);
    ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(35));
    EXPECT_EQ(3, nuvsim::CallCount("I3DDocument::LoadMarkupFile"));
}

TEST_F(Sessions, NoDocumentKindMeansNothingToLoad) {
    ASSERT_HR(S_OK, StartSession(kLaunchText, nuvsim::kKindNone));
    nuvsim::ClearCallLog();
    EXPECT_HR(E_FAIL, AgentSession()->LoadDocumentMarkups(1));
    EXPECT_THAT(nuvsim::CallLog(), IsEmpty());
    // BeginMarkup stores the key and switches PreserveExtensions, yet fails.
    ScopedEnv root(kRegRootVariable, std::nullopt);
    const std::string key = std::string(kDefaultSettingsRoot) + "\\ZelPDM";
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    nuvsim::MapDocumentKey(0, 8, 3);
    EXPECT_HR(E_FAIL, AgentSession()->BeginMarkup(8));
    EXPECT_THAT(nuvsim::EnabledMarkupKinds(), IsEmpty());
    EXPECT_EQ(1, ReadDword(key, "PreserveExtensions"));
    ASSERT_HR(S_OK, AgentSession()->SaveViewList());
    EXPECT_THAT(AgentBlock(3), testing::Contains("[ViewList]Markup0"));
}

// Stop takes the agent's sink or save handler off the document it loaded,
// and lets go of the viewer session.
TEST_F(Sessions, StopTakesTheAgentOffItsDocumentInEveryKind) {
    for (const LONG kind : {nuvsim::kKindPdf, nuvsim::kKind2D, nuvsim::kKind3D}) {
        ASSERT_HR(S_OK, StartSession(kLaunchText, kind));
        ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(7));
        const LONG handle = kind == nuvsim::kKind3D ? nuvsim::GetConfig().viewHandle3D : 7;
        nuvsim::DocumentInfo info{};
        ASSERT_TRUE(nuvsim::FindDocument(handle, &info)) << PrintToString(nuvsim::Documents());
        EXPECT_EQ(1, info.sinkRegistrations + info.saveHandlerRegistrations) << PrintToString(info);
        ASSERT_HR(S_OK, Session<IAgentSessionControl>()->Stop());
        ASSERT_TRUE(nuvsim::FindDocument(handle, &info));
        EXPECT_EQ(0, info.sinkRegistrations) << "kind " << kind;
        EXPECT_EQ(0, info.saveHandlerRegistrations) << "kind " << kind;
        LONG started = 1;
        EXPECT_HR(S_OK, Session<IAgentSessionControl>()->IsStarted(&started));
        EXPECT_EQ(0, started) << "kind " << kind;
        nuvsim::CloseDocuments();
        ReleaseAgent();
    }
}

TEST_F(Sessions, AFailingDocumentRequestIsPassedBackAndNothingIsMarkedLoaded) {
    ASSERT_HR(S_OK, StartSession(kLaunchText, nuvsim::kKindPdf));
    nuvsim::FailOperation("IViewerSession::GetDocument", E_ACCESSDENIED);
    EXPECT_HR(E_ACCESSDENIED, AgentSession()->LoadDocumentMarkups(5));
    nuvsim::ClearFaults();
    ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(5));
    EXPECT_EQ(3u, LayerPaths(5).size());
}

class MarkupSession : public AgentSessionTest {};

TEST_F(MarkupSession, BeginAndEndSwitchPreserveExtensionsForTheViewer) {
    ScopedEnv root(kRegRootVariable, std::nullopt);
    const std::string key = std::string(kDefaultSettingsRoot) + "\\ZelPDM";
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    CreateAgent();
    EXPECT_HR(E_FAIL, AgentSession()->BeginMarkup(3));
    EXPECT_EQ(-1, ReadDword(key, "PreserveExtensions"));
    ReleaseAgent();

    ASSERT_HR(S_OK, StartSession(kLaunchText, nuvsim::kKindPdf));
    ASSERT_HR(S_OK, AgentSession()->BeginMarkup(3));
    EXPECT_EQ(1, ReadDword(key, "PreserveExtensions"));
    ASSERT_EQ(1u, nuvsim::EnabledMarkupKinds().size());
    EXPECT_EQ("PDF Markup", nuvsim::EnabledMarkupKinds()[0].name);
    EXPECT_EQ(1, nuvsim::EnabledMarkupKinds()[0].flag);
    EXPECT_HR(S_OK, AgentSession()->EndMarkup(0));
    EXPECT_EQ(0, ReadDword(key, "PreserveExtensions"));
}

TEST_F(MarkupSession, TheSettingsRootFollowsNuvRegRoot) {
    ScopedEnv root(kRegRootVariable, std::string("Software\\ZelTest\\Moved"));
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\ZelTest");
    ASSERT_HR(S_OK, StartSession(kLaunchText, nuvsim::kKind3D));
    ASSERT_HR(S_OK, AgentSession()->BeginMarkup(3));
    EXPECT_EQ(1, ReadDword("Software\\ZelTest\\Moved\\ZelPDM", "PreserveExtensions"));
    EXPECT_EQ("3D Markup", nuvsim::EnabledMarkupKinds()[0].name);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\ZelTest");
}

TEST_F(MarkupSession, PendingFilesAreDeletedAndFailuresReportedToTheCaller) {
    CreateAgent();
    const std::filesystem::path existing = m_dir / "pending.xml";
    std::ofstream(existing) << "x";
    m_impl->AddPendingDelete(existing.string());
    m_impl->AddPendingDelete((m_dir / "missing.xml").string());
    PendingFileList list{nullptr};
    EXPECT_HR(S_OK, AgentSession()->RemovePendingFiles(&list));
    EXPECT_FALSE(std::filesystem::exists(existing)) << existing;
    ASSERT_NE(nullptr, list.head);
    EXPECT_EQ((m_dir / "missing.xml").string(), list.head->path);
    EXPECT_EQ(nullptr, list.head->next);
    CoTaskMemFree(list.head->path);
    CoTaskMemFree(list.head);
    // Nothing is pending any more.
    list.head = nullptr;
    EXPECT_HR(S_OK, AgentSession()->RemovePendingFiles(&list));
    EXPECT_EQ(nullptr, list.head);
}

}  // namespace
