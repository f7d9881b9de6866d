// The view list's copy in the viewer's agent data: written by one session,
// restored by a later plain session of the same launch file.
#include "tests/support/agent_fixture.h"
#include "tests/support/hresult.h"

#include <gmock/gmock.h>

using testing::ElementsAre;

namespace {

const char kPdmLaunch[] =
    "[ServerFile]\n"
    "ServerPath=D:\\srv\\gear.dwg\n"
    "FileTypeID=PDM.Drawing\n"
    "session_id=42\n"
    "object_id=OBJ-7\n"
    "PDMVendor=ExamplePDM\n"
    "PDM_host=pdm.example\n"
    "PDM_port=8080\n"
    "[ViewList]\n"
    "NumMarkups=2\n"
    "Markup0=D:\\srv\\gear_1.xml\n"
    "Markup1=http://pdm.example/get?object_id=M%2F2&ext=xml\n"
    "DMAgent=DMAgent\n";

const char kPlainLaunch[] =
    "[ServerFile]\n"
    "ViewMode=ViewOnly\n";

// The agent's entries of one block, in entry order.
std::vector<std::string> Block(LONG block) {
    std::vector<std::string> texts;
    for (const auto& entry : nuvsim::AgentDataEntries())
        if (IsEqualGUID(entry.owner, GUID_AgentDataOwner) && entry.block == block) texts.push_back(entry.text);
    return texts;
}

class ViewList : public AgentSessionTest {
protected:
    // Runs a session of the PDM launch file and saves its view list into the
    // block of document key (0, second).
    void SaveFirstSession(LONG second, LONG block, const std::string& launchText = kPdmLaunch) {
        nuvsim::MapDocumentKey(0, second, block);
        ASSERT_HR(S_OK, StartSession(launchText, nuvsim::kKind2D));
        ASSERT_HR(S_OK, AgentSession()->BeginMarkup(second));
        ASSERT_HR(S_OK, AgentSession()->SaveViewList());
        nuvsim::CloseDocuments();
        ReleaseAgent();
    }

    // A plain session of the same launch file restores the copy and saves it
    // into block 1: the same entries, with the launch file's view mode.
    void ExpectAPlainSessionSavesItAgain(const std::vector<std::string>& saved) {
        nuvsim::MapDocumentKey(0, 6, 1);
        ASSERT_HR(S_OK, StartSession(kPlainLaunch, nuvsim::kKind2D));
        ASSERT_HR(S_OK, AgentSession()->BeginMarkup(6));
        ASSERT_HR(S_OK, AgentSession()->SaveViewList());
        std::vector<std::string> expected = saved;
        expected.insert(expected.begin() + 4, {"[ServerFile]ViewMode", "ViewOnly"});
        EXPECT_EQ(expected, Block(1));
    }
};

TEST_F(ViewList, SaveWritesOnlyTheNonEmptyValuesWithEvenAndOddNumbers) {
    SaveFirstSession(5, 0);
    const std::string launch = (m_dir / "view.zvl").string();
    EXPECT_THAT(Block(0), ElementsAre("[ServerFile]ServerPath", launch, "[ServerFile]ObjectId", "OBJ-7",
                                      "[ServerFile]PDMVendor", "ExamplePDM", "[ServerFile]PDM_host", "pdm.example",
                                      "[ServerFile]PDM_port", "8080", "[ViewList]Markup0", "D:\\srv\\gear_1.xml",
                                      "[ViewList]LocalPath1", "D:\\srv\\gear_1.xml", "[ViewList]Markup2",
                                      "http://pdm.example/get?object_id=M%2F2&ext=xml", "[ViewList]object_id3",
                                      "M/2", "[ViewList]NumMarkups", "4", "[ViewList]NumParts", "0"));
}

TEST_F(ViewList, APlainSessionRestoresTheSavedListAndLoadsNothingAgain) {
    SaveFirstSession(5, 0);
    const std::vector<std::string> saved = Block(0);

    // The same launch file, now naming a plain viewer session.
    nuvsim::MapDocumentKey(0, 6, 1);
    ASSERT_HR(S_OK, StartSession(kPlainLaunch, nuvsim::kKind2D));
    nuvsim::ClearCallLog();
    ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(3));
    EXPECT_EQ(0, nuvsim::CallCount("I2DLayers::LoadMarkupFile"));

    // Saved again, the restored list is the same list; the launch file's view
    // mode won over the stored (empty) one.
    ASSERT_HR(S_OK, AgentSession()->BeginMarkup(6));
    ASSERT_HR(S_OK, AgentSession()->SaveViewList());
    std::vector<std::string> expected = saved;
    expected.insert(expected.begin() + 4, {"[ServerFile]ViewMode", "ViewOnly"});
    EXPECT_EQ(expected, Block(1));
}

TEST_F(ViewList, AValueTheViewerRefusesIsRestoredAsMissingAndReported) {
    nuvsim::MapDocumentKey(0, 5, 0);
    ASSERT_HR(S_OK, StartSession(kPdmLaunch, nuvsim::kKind2D));
    ASSERT_HR(S_OK, AgentSession()->BeginMarkup(5));
    // The 18th write is the value of object_id3, the second markup's object id.
    nuvsim::FailOperation("IMarkupManager::SetAgentString", E_ACCESSDENIED, 18);
    EXPECT_HR(E_ACCESSDENIED, AgentSession()->SaveViewList());
    nuvsim::ClearFaults();
    const std::vector<std::string> saved = Block(0);
    EXPECT_EQ(0, std::count(saved.begin(), saved.end(), "[ViewList]object_id3"));
    EXPECT_EQ(1, std::count(saved.begin(), saved.end(), "[ViewList]NumMarkups"));
    nuvsim::CloseDocuments();
    ReleaseAgent();

    // Restored and saved again: the second markup has no object id, and every
    // other value is where it was.
    ExpectAPlainSessionSavesItAgain(saved);
}

TEST_F(ViewList, AStoredObjectIdAlwaysReplacesTheLaunchFilesOne) {
    SaveFirstSession(5, 0);
    nuvsim::MapDocumentKey(0, 6, 1);
    ASSERT_HR(S_OK, StartSession("[ServerFile]\nobject_id=FROM-LAUNCH\nPDMVendor=Other\n", nuvsim::kKind2D));
    ASSERT_HR(S_OK, AgentSession()->BeginMarkup(6));
    ASSERT_HR(S_OK, AgentSession()->SaveViewList());
    const std::vector<std::string> block = Block(1);
    ASSERT_GE(block.size(), 6u);
    EXPECT_EQ("OBJ-7", block[3]);
    EXPECT_EQ("Other", block[5]);
}

TEST_F(ViewList, APlainSessionWithoutStoredDataFailsToConnect) {
    EXPECT_HR(E_FAIL, StartSession(kPlainLaunch, nuvsim::kKind2D));
    // The launch file stays fixed: a later name only comes back.
    EXPECT_HR(S_OK, Resolve("D:\\other.dwg"));
}

TEST_F(ViewList, APlainSessionOfUnknownKindReadsTheLaunchFilesMarkups) {
    ASSERT_HR(S_OK, StartSession("[ViewList]\nNumMarkups=1\nMarkup0=D:\\m\\a.xml\n", nuvsim::kKindNone));
    EXPECT_EQ(0, nuvsim::CallCount("IMarkupManager::GetAgentString"));
    // The markup came from the launch file: saved, it is the session's one.
    ASSERT_HR(S_OK, AgentSession()->SaveViewList());
    EXPECT_THAT(Block(0), ElementsAre("[ServerFile]ServerPath", (m_dir / "view.zvl").string(), "[ViewList]Markup0",
                                      "D:\\m\\a.xml", "[ViewList]LocalPath1", "D:\\m\\a.xml",
                                      "[ViewList]NumMarkups", "2", "[ViewList]NumParts", "0"));
}

TEST_F(ViewList, StoredCountsAreReadLikeTheLaunchFilesAndBounded) {
    const std::string launch = WriteLaunchFile(kPlainLaunch);
    const GUID& owner = GUID_AgentDataOwner;
    const std::vector<std::pair<std::string, std::string>> stored = {
        {"[ServerFile]ServerPath", launch}, {"[ServerFile]ObjectId", "OBJ"},
        {"[ViewList]NumMarkups", "3"},      {"[ViewList]Markup0", "D:\\a.xml"},
        {"[ViewList]Markup2", "D:\\b.xml"}, {"[ViewList]Markup4", "D:\\never.xml"},
        {"[ViewList]NumParts", "999999999"}};
    LONG entry = 0;
    for (const auto& [name, value] : stored) {
        nuvsim::SetAgentData(owner, 0, entry++, name);
        nuvsim::SetAgentData(owner, 0, entry++, value);
    }
    nuvsim::MapDocumentKey(0, 2, 1);
    nuvsim::SetDocumentKind(nuvsim::kKind3D);
    CreateAgent();
    ASSERT_HR(S_OK, Resolve(launch));
    ASSERT_HR(S_OK, AgentSession()->BeginMarkup(2));
    ASSERT_HR(S_OK, AgentSession()->SaveViewList());
    const std::vector<std::string> block = Block(1);
    // "3" gives the markups at 0 and 2; the huge part count stops at the limit.
    EXPECT_EQ(1, std::count(block.begin(), block.end(), "[ViewList]Markup0"));
    EXPECT_EQ(1, std::count(block.begin(), block.end(), "[ViewList]Markup2"));
    EXPECT_EQ(0, std::count(block.begin(), block.end(), "D:\\never.xml"));
    EXPECT_EQ("20000", block.back());
}

// The copy is kept under the launch file's decoded path, so a name that
// decoding changes finds its copy and saves it back under the same path; the
// parts come only from the copy, in any stored order, each with its object.
TEST_F(ViewList, TheCopyOfALaunchFileNameThatDecodingChangesRestoresItsParts) {
    const std::string launch = WriteLaunchFile(kPlainLaunch, "view%20a+b%41.zvl");
    const std::string decoded = (m_dir / "view a bA.zvl").string();
    StoreAgentBlocks({{0,
                       {"[ViewList]NumParts", "4", "[ViewList]PartId3", "P-3", "[ServerFile]ServerPath", decoded,
                        "[ViewList]Part2", "D:\\p\\b.dwg", "[ServerFile]ObjectId", "OBJ", "[ViewList]Part0",
                        "D:\\p\\a.dwg", "[ViewList]PartId1", "P-1"}}});
    nuvsim::MapDocumentKey(0, 2, 1);
    nuvsim::SetDocumentKind(nuvsim::kKind3D);
    CreateAgent();
    ASSERT_HR(S_OK, Resolve(launch));
    ASSERT_HR(S_OK, AgentSession()->BeginMarkup(2));
    ASSERT_HR(S_OK, AgentSession()->SaveViewList());
    EXPECT_THAT(Block(1), ElementsAre("[ServerFile]ServerPath", decoded, "[ServerFile]ObjectId", "OBJ",
                                      "[ServerFile]ViewMode", "ViewOnly", "[ViewList]NumMarkups", "0",
                                      "[ViewList]Part0", "D:\\p\\a.dwg", "[ViewList]PartId1", "P-1",
                                      "[ViewList]Part2", "D:\\p\\b.dwg", "[ViewList]PartId3", "P-3",
                                      "[ViewList]NumParts", "4"));
}

// Markups whose locations read like stored names are values like any other:
// the plain session restores them and saves the same list again.
TEST_F(ViewList, AValueThatReadsLikeANameIsNeverTakenForOne) {
    std::string launch = kPdmLaunch;
    launch.replace(launch.find("D:\\srv\\gear_1.xml"), 17, "[ViewList]NumMarkups");
    launch.replace(launch.find("http:"), launch.find('\n', launch.find("http:")) - launch.find("http:"),
                   "[viewlist]markup2");
    SaveFirstSession(5, 0, launch);
    const std::vector<std::string> saved = Block(0);

    ExpectAPlainSessionSavesItAgain(saved);
}

// The launch file's server settings win over the stored copy's, one by one;
// those it does not give come from the copy.
TEST_F(ViewList, TheLaunchFilesHostPortAndViewModeWinOverTheCopys) {
    std::string first = kPdmLaunch;
    first.insert(first.find("[ViewList]"), "ViewMode=Review\n");
    SaveFirstSession(5, 0, first);
    const struct {
        const char* launch;
        std::vector<std::string> expected;  // view mode, vendor, host, port
    } cases[] = {
        {"[ServerFile]\nViewMode=ViewOnly\nPDM_host=other.example\nPDM_port=9090\n",
         {"ViewOnly", "ExamplePDM", "other.example", "9090"}},
        {"[ServerFile]\nPDM_port=9090\n", {"Review", "ExamplePDM", "pdm.example", "9090"}},
        {"[ServerFile]\nPDM_host=other.example\n", {"Review", "ExamplePDM", "other.example", "8080"}},
    };
    LONG second = 6;
    for (const auto& c : cases) {
        nuvsim::MapDocumentKey(0, second, second);
        ASSERT_HR(S_OK, StartSession(c.launch, nuvsim::kKind2D));
        ASSERT_HR(S_OK, AgentSession()->BeginMarkup(second));
        ASSERT_HR(S_OK, AgentSession()->SaveViewList());
        const std::vector<std::string> block = Block(second);
        ASSERT_GE(block.size(), 12u) << c.launch;
        EXPECT_EQ(c.expected, (std::vector<std::string>{block[5], block[7], block[9], block[11]})) << c.launch;
        nuvsim::CloseDocuments();
        ReleaseAgent();
        ++second;
    }
}

TEST_F(ViewList, ListOperationsBeforeConnectTouchNothing) {
    CreateAgent();
    nuvsim::ClearCallLog();
    EXPECT_HR(E_FAIL, AgentSession()->LoadViewList());
    EXPECT_HR(E_FAIL, AgentSession()->SaveViewList());
    EXPECT_THAT(nuvsim::CallLog(), testing::IsEmpty());
}

}  // namespace
