// The machine policy that pins the programs a markup save may run, against
// the native registry store (each test has a store of its own). The same
// cases run under Wine against the real registry in tests/save_dll.

#include "platform/system/native/registry_store.h"
#include "platform/system/registry.h"
#include "platform/com/string_ids.h"
#include "tests/support/save_policy_for_test.h"
#include "tests/support/save_session.h"
#include "tests/support/scoped_env.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

namespace {

using namespace std::chrono_literals;

constexpr char kNothing[] = "<nothing recorded>";

class SavePolicy : public SaveRefusalTest {
protected:
    void TearDown() override {
        regstore::ClearFault();
        SaveRefusalTest::TearDown();
    }
    void StartWithProgram(const std::string& dmAgent) {
        ReleaseAgent();
        const std::string text = "[ServerFile]\nFileTypeID=PDM.Markup\nServerPath=D:\\srv\\gear.xml\nsession_id=42\n"
                                 "[ViewList]\nDMAgent=" + dmAgent + "\nApplication=view\n";
        ASSERT_HR(S_OK, StartSession(text, nuvsim::kKind2D));
    }
    void ExpectLaunched(const Words& leading = {}) {
        ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
        Words expected = leading;
        for (const char* item : {"MarkupSave", "42", "D:\\srv\\gear.xml", "x.xml", "view"}) expected.push_back(item);
        EXPECT_EQ(Arguments(), expected);
    }
    // Refused by the policy: the message names what the view list asked for.
    void ExpectPolicyRefusal(unsigned messageId, const std::string& named) {
        const Shown shown = SaveSeeingMessage("C:\\tmp\\x.xml");
        EXPECT_HR(E_FAIL, shown.hr);
        EXPECT_TRUE(shown.box) << "no message box";
        EXPECT_EQ(UserMessage(messageId) + " " + named, shown.text);
        EXPECT_EQ(kNothing, m_recorder.WaitForRecord(1500ms));
    }
    void ExpectNotAllowed() { ExpectPolicyRefusal(IDS_SAVE_PROGRAM_NOT_ALLOWED, RecorderPath()); }
};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

TEST_F(SavePolicy, WithoutThePolicyKeyEveryProgramRuns) {
    StartWithProgram(RecorderPath());
    ExpectLaunched();
}

// Listed as an administrator may write it: letter case and the kind of
// slash do not count.
TEST_F(SavePolicy, AListedProgramRuns) {
    std::string listed = Upper(RecorderPath());
    std::replace(listed.begin(), listed.end(), '/', '\\');
    ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe", listed});
    StartWithProgram(RecorderPath());
    ExpectLaunched();
}

TEST_F(SavePolicy, AnUnlistedProgramIsRefusedAndTold) {
    ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe"});
    StartWithProgram(RecorderPath());
    ExpectNotAllowed();
}

TEST_F(SavePolicy, AnEmptyPolicyKeyAllowsNothing) {
    ScopedSaveCommandsPolicy policy({});
    StartWithProgram(RecorderPath());
    ExpectPolicyRefusal(IDS_SAVE_NO_PROGRAM_ALLOWED, RecorderPath());
}

// The box names a long program by its first 160 bytes: the launch file's
// text is a web front end's.
TEST_F(SavePolicy, ARefusedProgramIsNamedCutToAReadableLength) {
    ScopedSaveCommandsPolicy policy({RecorderPath()});
    const std::string program = "/" + std::string(1000, 'p');
    StartWithProgram(program + " --x");
    ExpectPolicyRefusal(IDS_SAVE_PROGRAM_NOT_ALLOWED, program.substr(0, 160) + "...");
}

// A listed program does not let the launch file put words of its own before
// the real items: the whole value must be listed.
TEST_F(SavePolicy, ForgedItemsAfterAListedProgramAreRefusedAndTold) {
    ScopedSaveCommandsPolicy policy({RecorderPath()});
    const std::string forged =
        RecorderPath() + " MarkupSave 42 \\\\evil\\share\\payload.dwg evil.xml --config=\\\\evil\\share\\cfg";
    StartWithProgram(forged);
    // The box names the program alone: the rest is the launch file's text.
    ExpectPolicyRefusal(IDS_SAVE_PROGRAM_NOT_ALLOWED, RecorderPath());
}

// An entry is a whole DMAgent value; values of other types do not count.
TEST_F(SavePolicy, ProgramsListedWithTheirWordsAllowExactlyThoseWords) {
    ScopedSaveCommandsPolicy policy({"\t" + RecorderPath() + " --vault=main  "});
    const std::string path = RecorderPath();
    policy.Add("binary", REG_BINARY, path.data(), path.size());
    StartWithProgram(RecorderPath() + " --vault=main");
    ExpectLaunched({"--vault=main"});
}

// Only the machine's key counts: a user can write HKEY_CURRENT_USER, and
// NUV_REG_ROOT moves only the viewer's settings.
TEST_F(SavePolicy, NeitherTheUserHiveNorTheSettingsRootMoveThePolicy) {
    UniqueHkey userKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSaveCommandsPolicyKey, 0, nullptr,
                                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, userKey.put(), nullptr));
    const std::string path = RecorderPath();
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(userKey.get(), "1", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                            static_cast<DWORD>(path.size() + 1)));
    ScopedEnv root(kRegRootVariable, std::string("Software\\Policies\\Tarnex\\ZelView"));
    ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe"});
    StartWithProgram(RecorderPath());
    ExpectNotAllowed();
}

// A string value need not keep its terminator in the registry.
TEST_F(SavePolicy, AStringWithoutItsTerminatorIsReadWhole) {
    ScopedSaveCommandsPolicy policy({});
    const std::string path = RecorderPath();
    policy.Add("1", REG_SZ, path.data(), path.size());
    StartWithProgram(RecorderPath());
    ExpectLaunched();
}

// A policy that cannot be read whole allows nothing, not even what the part
// read lists: a key that exists but cannot be opened, or whose values stop
// reading after the one that lists the program.
TEST_F(SavePolicy, APolicyKeyThatCannotBeReadWholeAllowsNothing) {
    for (const auto& [call, passing] : {std::pair{"RegOpenKeyExA", 0u}, std::pair{"RegEnumValueW", 1u}}) {
        ScopedSaveCommandsPolicy policy({RecorderPath(), "C:\\PDM\\pdm-save.exe"});
        regstore::InjectFault(call, std::string("HKLM\\") + kSaveCommandsPolicyKey, ERROR_ACCESS_DENIED, passing);
        StartWithProgram(RecorderPath());
        ExpectPolicyRefusal(IDS_SAVE_NO_PROGRAM_ALLOWED, RecorderPath());
        // The log tells this apart from a list left empty on purpose.
        std::string state;
        ReadSaveCommandsPolicy(&state);
        EXPECT_THAT(state, testing::HasSubstr("(unreadable: nothing allowed)")) << call;
        regstore::ClearFault();
        nuvsim::CloseDocuments();
        ReleaseAgent();
    }
}

// The template's switch, where its key exists but cannot be opened, counts
// as on: the hand-written list beside it, which would allow the program,
// does not decide then.
TEST_F(SavePolicy, ASwitchKeyThatCannotBeOpenedKeepsThePolicyOn) {
    ScopedSaveCommandsPolicy byHand({RecorderPath()});
    const ScopedGroupPolicy policy(std::nullopt, {});
    regstore::InjectFault("RegOpenKeyExA", std::string("HKLM\\") + kPdmPolicyKey, ERROR_ACCESS_DENIED);
    StartWithProgram(RecorderPath());
    ExpectPolicyRefusal(IDS_SAVE_NO_PROGRAM_ALLOWED, RecorderPath());
    std::string state;
    ReadSaveCommandsPolicy(&state);
    EXPECT_THAT(state, testing::StartsWith("RestrictSaveCommands unreadable, taken as on, 0 listed"));
}

// Only REG_SZ and REG_EXPAND_SZ values are entries: a list of other types
// holding the program's path allows nothing.
TEST_F(SavePolicy, ValuesOfOtherTypesAreNoEntries) {
    ScopedSaveCommandsPolicy policy({});
    const std::string path = RecorderPath();
    const std::string multi = path + std::string(1, '\0') + std::string(1, '\0');
    policy.Add("multi", REG_MULTI_SZ, multi.data(), multi.size());
    policy.Add("none", REG_NONE, path.c_str(), path.size() + 1);
    policy.Add("binary", REG_BINARY, path.c_str(), path.size() + 1);
    const DWORD number = 1;
    policy.Add("number", REG_DWORD, &number, sizeof number);
    StartWithProgram(RecorderPath());
    ExpectPolicyRefusal(IDS_SAVE_NO_PROGRAM_ALLOWED, RecorderPath());
}

class SaveGroupPolicy : public SavePolicy, public testing::WithParamInterface<GroupPolicyCase> {};

TEST_P(SaveGroupPolicy, TheTemplatesSwitchDecidesOverTheListKeys) {
    const GroupPolicyCase& c = GetParam();
    std::optional<ScopedSaveCommandsPolicy> byHand;
    if (c.byHand) byHand.emplace(*c.byHand);
    const ScopedGroupPolicy policy(c.restrict, WithRecorder(c.listed, RecorderPath()));
    StartWithProgram(RecorderPath());
    if (c.refusal == 0) ExpectLaunched();
    else ExpectPolicyRefusal(c.refusal, RecorderPath());
}

INSTANTIATE_TEST_SUITE_P(States, SaveGroupPolicy, testing::ValuesIn(kGroupPolicyCases), GroupPolicyCaseName);

// While the policy is on, an entry that names a program without its full
// path (found by searching) is ignored.
TEST_F(SavePolicy, ARelativeEntryIsIgnored) {
    const auto policy = ScopedGroupPolicy::Enabled({std::filesystem::path(RecorderPath()).filename().string()});
    StartWithProgram(RecorderPath());
    ExpectPolicyRefusal(IDS_SAVE_NO_PROGRAM_ALLOWED, RecorderPath());
}

// A save program under a folder with a blank, named in quotes, listed
// through an environment reference as the template writes it.
TEST_F(SavePolicy, AQuotedProgramInAFolderWithABlankReceivesExactlyItsItems) {
    const std::filesystem::path programFiles = m_dir / "Program Files";
    const std::filesystem::path program = programFiles / "ZelPDM" / "pdm-save";
    std::filesystem::create_directories(program.parent_path());
    std::filesystem::copy_file(RecorderPath(), program);
    ScopedEnv root("ZEL_TEST_PROGRAM_FILES", programFiles.string());
    const auto policy = ScopedGroupPolicy::Enabled({"%ZEL_TEST_PROGRAM_FILES%/ZelPDM/pdm-save --vault=main"});
    StartWithProgram("\"" + program.string() + "\" --vault=main");
    ExpectLaunched({"--vault=main"});
}

// The viewer's reader drops the quotes around a whole value: a program in a
// folder with a blank arrives unquoted. The whole path runs, and is what the
// policy allows; the beginning of the path never runs, even where a program
// of that name lies in wait.
TEST_F(SavePolicy, AProgramInAFolderWithABlankRunsWholeWithoutItsQuotes) {
    const std::filesystem::path program = m_dir / "Program Files" / "ZelPDM" / "pdm-save";
    std::filesystem::create_directories(program.parent_path());
    std::filesystem::copy_file(RecorderPath(), program);
    std::filesystem::copy_file(RecorderPath(), m_dir / "Program");
    StartWithProgram(program.string());
    ExpectLaunched();
    m_recorder.Clear();
    {
        ScopedSaveCommandsPolicy policy({program.string()});
        StartWithProgram(program.string());
        ExpectLaunched();
        m_recorder.Clear();
    }
    // A path with blanks that is not there: its beginning is no program.
    std::filesystem::remove(program);
    StartWithProgram(program.string());
    ExpectPolicyRefusal(IDS_SAVE_PROGRAM_NOT_FOUND, program.string());
}

// A bare program name is found on the path, never in the current folder,
// where a download may have put a program of that name.
TEST_F(SavePolicy, AProgramPlantedInTheCurrentFolderDoesNotRun) {
    const std::filesystem::path planted = m_dir / "downloads";
    std::filesystem::create_directories(planted);
    const std::string bare = std::filesystem::path(RecorderPath()).filename().string();
    std::filesystem::copy_file(RecorderPath(), planted / bare);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(planted);
    {
        // Both ways a path names the current folder: an empty entry and ".".
        ScopedEnv path("PATH", std::string("/usr/bin::."));
        StartWithProgram(bare);
        ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_NOT_STARTED);
        EXPECT_EQ(kNothing, m_recorder.WaitForRecord(1500ms));
    }
    {
        // The same name on the path runs as it always did.
        ScopedEnv path("PATH", "/usr/bin:" + std::filesystem::path(RecorderPath()).parent_path().string());
        StartWithProgram(bare);
        ExpectLaunched();
    }
    std::filesystem::current_path(before);
}

}  // namespace
