// The machine policy that pins the save programs, in the Wine prefix's real
// registry under HKEY_LOCAL_MACHINE, through the DLL.

#include "platform/com/string_ids.h"
#include "tests/save_dll/dll_save_session.h"
#include "tests/support/save_policy_for_test.h"
#include "tests/support/hresult.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

namespace {

class SaveDllPolicy : public DllSaveRefusal {
protected:
    void StartWithRecorder() {
        StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n", "Application=view\r\n");
    }
    void ExpectLaunched() {
        ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
        EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.xml", "x.xml", "view"})) << CommandLines();
    }
    void StartWithProgram(const std::string& dmAgent) {
        StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n",
                        "Application=view\r\nDMAgent=" + dmAgent + "\r\n");
    }
    void ExpectLaunched(const Words& leading) {
        ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
        Words expected = leading;
        for (const char* item : {"MarkupSave", "42", "D:\\srv\\gear.xml", "x.xml", "view"}) expected.push_back(item);
        EXPECT_EQ(Arguments(), expected) << CommandLines();
    }
    // Refused by the policy: the message names what the view list asked for.
    void ExpectPolicyRefusal(unsigned messageId, const std::string& named) {
        SeenBox seen;
        std::thread presser = PressOkWhenShown("ZelView", seen);
        const HRESULT hr = Save("C:\\tmp\\x.xml");
        presser.join();
        EXPECT_HR(E_FAIL, hr);
        EXPECT_TRUE(seen.found) << "no message box captioned ZelView";
        EXPECT_EQ(UserMessage(messageId) + " " + named, seen.text);
        ExpectNothingLaunched();
    }
    void ExpectNotAllowed() { ExpectPolicyRefusal(IDS_SAVE_PROGRAM_NOT_ALLOWED, RecorderPath()); }
};

TEST_F(SaveDllPolicy, WithoutThePolicyKeyEveryProgramRuns) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSaveCommandsPolicyKey);
    StartWithRecorder();
    ExpectLaunched();
}

TEST_F(SaveDllPolicy, AListedProgramRuns) {
    std::string listed = RecorderPath();
    std::transform(listed.begin(), listed.end(), listed.begin(), [](unsigned char c) { return std::toupper(c); });
    std::replace(listed.begin(), listed.end(), '\\', '/');
    ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe", listed});
    StartWithRecorder();
    ExpectLaunched();
}

TEST_F(SaveDllPolicy, AnUnlistedProgramIsRefusedAndTold) {
    ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe"});
    StartWithRecorder();
    ExpectNotAllowed();
}

TEST_F(SaveDllPolicy, AnEmptyPolicyKeyAllowsNothing) {
    ScopedSaveCommandsPolicy policy({});
    StartWithRecorder();
    ExpectPolicyRefusal(IDS_SAVE_NO_PROGRAM_ALLOWED, RecorderPath());
}

// Only the machine's key counts: a user can write HKEY_CURRENT_USER.
TEST_F(SaveDllPolicy, TheSameKeyOfTheUserDoesNotCount) {
    UniqueHkey userKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSaveCommandsPolicyKey, 0, nullptr,
                                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, userKey.put(), nullptr));
    const std::string path = RecorderPath();
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(userKey.get(), "1", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                            static_cast<DWORD>(path.size() + 1)));
    userKey.reset();
    {
        ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe"});
        StartWithRecorder();
        ExpectNotAllowed();
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kSaveCommandsPolicyKey);
}

class SaveDllGroupPolicy : public SaveDllPolicy, public testing::WithParamInterface<GroupPolicyCase> {};

TEST_P(SaveDllGroupPolicy, TheTemplatesSwitchDecidesOverTheListKeys) {
    const GroupPolicyCase& c = GetParam();
    std::optional<ScopedSaveCommandsPolicy> byHand;
    if (c.byHand) byHand.emplace(*c.byHand);
    const ScopedGroupPolicy policy(c.restrict, WithRecorder(c.listed, RecorderPath()));
    StartWithRecorder();
    if (c.refusal == 0) ExpectLaunched();
    else ExpectPolicyRefusal(c.refusal, RecorderPath());
}

INSTANTIATE_TEST_SUITE_P(States, SaveDllGroupPolicy, testing::ValuesIn(kGroupPolicyCases), GroupPolicyCaseName);

// The recorder installed as a PDM's save program is, under Program Files.
class SaveDllProgramFiles : public SaveDllPolicy {
protected:
    static constexpr char kFolder[] = "C:\\Program Files\\ZelPDM";
    static constexpr char kProgram[] = "C:\\Program Files\\ZelPDM\\pdm-save.exe";
    static constexpr char kQuotedProgram[] = "\"C:\\Program Files\\ZelPDM\\pdm-save.exe\"";

    void SetUp() override {
        SaveDllPolicy::SetUp();
        std::filesystem::create_directories(kFolder);
        std::filesystem::copy_file(RecorderPath(), kProgram, std::filesystem::copy_options::overwrite_existing);
    }
    void TearDown() override {
        SaveDllPolicy::TearDown();
        std::error_code ignored;
        std::filesystem::remove_all(kFolder, ignored);
    }
};

TEST_F(SaveDllProgramFiles, AQuotedProgramRunsWithItsOwnWordsWithoutAPolicy) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPdmPolicyKey);
    StartWithProgram(std::string(kQuotedProgram) + " --vault=main");
    ExpectLaunched({"--vault=main"});
}

// Listed as the template writes it, through an environment reference. The
// viewer's profile reading drops quotes that enclose a whole value, so a
// quoted program alone is written in doubled quotes.
TEST_F(SaveDllProgramFiles, AQuotedProgramListedByTheTemplateReceivesExactlyItsItems) {
    const auto policy = ScopedGroupPolicy::Enabled({"%ProgramFiles%\\ZelPDM\\pdm-save.exe"});
    StartWithProgram("\"" + std::string(kQuotedProgram) + "\"");
    ExpectLaunched({});
}

// A listed program does not let the launch file put words of its own before
// the real items: the whole value must be listed.
TEST_F(SaveDllProgramFiles, ForgedItemsAfterAListedProgramAreRefusedAndTold) {
    const auto policy = ScopedGroupPolicy::Enabled({kProgram});
    const std::string forged = std::string(kQuotedProgram) +
                               " MarkupSave 42 \\\\evil\\share\\payload.dwg evil.xml --config=\\\\evil\\share\\cfg";
    StartWithProgram(forged);
    ExpectPolicyRefusal(IDS_SAVE_PROGRAM_NOT_ALLOWED, kProgram);
}

// A front end writes a program in a folder with a blank in quotes, and the
// viewer drops quotes that enclose a whole value: the whole path runs, with
// or without a policy entry written without quotes, and C:\Program, which
// start would otherwise run with the rest as its first argument, never does.
TEST_F(SaveDllProgramFiles, AProgramInAFolderWithABlankRunsWholeWithoutItsQuotes) {
    constexpr char kPlanted[] = "C:\\Program.exe";
    std::filesystem::copy_file(RecorderPath(), kPlanted, std::filesystem::copy_options::overwrite_existing);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPdmPolicyKey);
    StartWithProgram(kQuotedProgram);
    ExpectLaunched({});
    m_recorder.Clear();
    {
        const auto policy = ScopedGroupPolicy::Enabled({kProgram});
        StartWithProgram(kProgram);
        ExpectLaunched({});
    }
    std::filesystem::remove(kPlanted);
}

// An entry is read as Unicode: one with a character that has no form in the
// ANSI code page is no entry, where the ANSI calls would bend it to a
// look-alike (the A with a macron to A) and allow another path.
TEST_F(SaveDllProgramFiles, AnEntryOutsideTheCodePageAllowsNothing) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPdmPolicyKey);
    ScopedSaveCommandsPolicy policy({});
    const std::wstring entry = L"C:\\Program Files\\ZelPDM\\pdm-s\u0100ve.exe";
    UniqueHkey key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSaveCommandsPolicyKey, 0, KEY_ALL_ACCESS, key.put()));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), L"1", 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.c_str()),
                                            static_cast<DWORD>((entry.size() + 1) * sizeof(wchar_t))));
    StartWithProgram(std::string("C:\\Program Files\\ZelPDM\\pdm-sAve.exe"));
    ExpectPolicyRefusal(IDS_SAVE_NO_PROGRAM_ALLOWED, "C:\\Program Files\\ZelPDM\\pdm-sAve.exe");
}

// A bare program name must not be found in the viewer's current folder,
// which may be a download folder. The interpreter gets Windows' switch for
// that in its environment, and hands it on to the program it starts. Wine's
// interpreter ignores the switch (its start runs a program from the current
// folder with or without it), so under Wine the tests can show that the
// switch reaches the interpreter and that a planted program does not run
// while the policy is on.
constexpr char kNoCurrentFolderSearch[] = "NoDefaultCurrentDirectoryInExePath";

TEST_F(SaveDllPolicy, TheInterpreterGetsTheSwitchAgainstTheCurrentFolderTheViewerKeepsItsOwn) {
    ScopedEnv viewers(kNoCurrentFolderSearch, std::nullopt);
    ScopedEnv shown("ZEL_RECORDER_SHOW", std::string(kNoCurrentFolderSearch));
    const std::string environmentFile = std::string(std::getenv("ZEL_RECORDER_OUT")) + ".env";
    StartWithRecorder();
    ExpectLaunched();
    std::ifstream in(environmentFile);
    std::string value;
    std::getline(in, value);
    in.close();
    std::filesystem::remove(environmentFile);
    EXPECT_EQ(value, "1");
    EXPECT_EQ(GetEnvironmentVariableA(kNoCurrentFolderSearch, nullptr, 0), 0u) << "the viewer's environment changed";
}

// The planted program lies in the current folder and the real one on the
// path: with the policy on, neither DMAgent nor an entry may name a program
// without its full path.
TEST_F(SaveDllProgramFiles, APlantedProgramDoesNotRunWhileThePolicyIsOnRelativeEntriesAreIgnored) {
    const std::filesystem::path downloads = m_dir / "downloads";
    std::filesystem::create_directories(downloads);
    std::filesystem::copy_file(RecorderPath(), downloads / "pdm-save.exe");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(downloads);
    ScopedEnv path("PATH", std::string(kFolder) + ";" + std::getenv("PATH"));
    {
        const auto policy = ScopedGroupPolicy::Enabled({kProgram, "pdm-save.exe"});
        StartWithProgram("pdm-save.exe");
        ExpectPolicyRefusal(IDS_SAVE_PROGRAM_NOT_FULL_PATH, "pdm-save.exe");
    }
    const auto policy = ScopedGroupPolicy::Enabled({"pdm-save.exe"});
    StartWithProgram(kProgram);
    ExpectPolicyRefusal(IDS_SAVE_NO_PROGRAM_ALLOWED, kProgram);
    std::filesystem::current_path(before);
}

}  // namespace
