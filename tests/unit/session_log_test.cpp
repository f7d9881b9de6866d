// What a session leaves for an administrator: the log file that the machine
// policy switches on, and the debug output that is always written (natively
// to the file ZEL_DEBUG_OUTPUT_FILE names). Under Wine the same session runs
// through the DLL against the real registry (tests/save_dll).
#include "pdm/save_command.h"
#include "pdm/session_log.h"
#include "platform/system/log_file.h"
#include "platform/com/string_ids.h"
#include "tests/support/captured_messages.h"
#include "tests/support/log_policy.h"
#include "tests/support/save_policy_for_test.h"
#include "tests/support/save_session.h"
#include "tests/support/scoped_env.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace {

using testing::ElementsAre;
using testing::StartsWith;

constexpr char kSessionId[] = "4f3a9c1e7b2d";
constexpr char kMaskedId[] = "4f3a...(12 chars)";
constexpr char kRefusedSave[] = "viewer call SaveMarkup: 0x80004005";

class SessionLog : public SaveSessionTest {
protected:
    std::string LogPath() const { return (m_dir / "agent.log").string(); }
    std::string DebugPath() const { return (m_dir / "debug.txt").string(); }

    // Two markups, the first read-only; the recorder as the save program.
    void StartLoggedSession() {
        const std::string text = std::string("[ServerFile]\nFileTypeID=PDM.Markup\nServerPath=D:\\srv\\gear.xml\n") +
                                 "session_id=" + kSessionId + "\nPDM_host=pdm.example\nViewMode=Edit\n"
                                 "[ViewList]\nNumMarkups=2\nMarkup0=D:\\srv\\locked.xml\nMarkupAccess0=read\n"
                                 "Markup1=D:\\srv\\open.xml\nDMAgent=" + RecorderPath() + "\nApplication=view\n";
        ASSERT_HR(S_OK, StartSession(text, nuvsim::kKind2D));
        ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(9));
    }
    std::string LaunchedLine() const {
        return "save launched: " + RecorderPath() + " MarkupSave " + kMaskedId + " D:\\srv\\gear.xml open.xml view";
    }
    static std::vector<std::string> Lines(const std::string& path) {
        std::vector<std::string> lines;
        std::ifstream file(path);
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }

    void SetUp() override {
        SaveSessionTest::SetUp();
        m_debugOutput.emplace("ZEL_DEBUG_OUTPUT_FILE", DebugPath());
    }

    std::optional<ScopedEnv> m_debugOutput;
    CapturedMessages m_messages;
};

// A launched save, a read-only refusal and a policy refusal, line by line;
// the session identifier never whole, also not inside the command line.
TEST_F(SessionLog, TellsEverySaveDecisionWithTheIdentifierMasked) {
    ScopedEnv folder("ZEL_LOG_FOLDER", m_dir.string());
    ScopedLogPolicy log("%ZEL_LOG_FOLDER%/agent.log", REG_EXPAND_SZ);
    StartLoggedSession();
    ASSERT_HR(S_OK, Save("C:\\tmp\\open.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", kSessionId, "D:\\srv\\gear.xml", "open.xml", "view"}));
    EXPECT_HR(E_FAIL, Save("C:\\tmp\\locked.xml"));
    {
        ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe"});
        EXPECT_HR(E_FAIL, Save("C:\\tmp\\open.xml"));
    }
    // The user is told as without a log.
    EXPECT_THAT(m_messages.Texts(), ElementsAre(UserMessage(IDS_NO_MARKUP_PERMISSION),
                                                UserMessage(IDS_SAVE_PROGRAM_NOT_ALLOWED) + " " + RecorderPath()));

    const std::string refusedByPolicy =
        "save refused: message 111 (the machine policy does not list the save program); markup C:\\tmp\\open.xml; "
        "program " + RecorderPath() + "; policy 1 listed in " + kSaveCommandsPolicyKey;
    const std::string readOnly = "save refused: message 105 (the markup is read-only); markup C:\\tmp\\locked.xml; "
                                 "list entry D:\\srv\\locked.xml";
    EXPECT_THAT(LogEvents(LogPath()),
                ElementsAre(StartsWith("session start: ZelDMAgent "),
                            "launch file: type PDM.Markup, PDM host pdm.example, view mode Edit, 2 markups, server "
                            "file D:\\srv\\gear.xml, session " + std::string(kMaskedId),
                            "markup loaded: D:\\srv\\locked.xml; read-only: access \"read\"",
                            "markup loaded: D:\\srv\\open.xml; editable",
                            "save requested: markup C:\\tmp\\open.xml",
                            "save lookup: D:\\srv\\open.xml; list entry D:\\srv\\open.xml, access \"\"", LaunchedLine(),
                            "save requested: markup C:\\tmp\\locked.xml",
                            "save lookup: D:\\srv\\locked.xml; list entry D:\\srv\\locked.xml, access \"read\"",
                            readOnly, kRefusedSave, "save requested: markup C:\\tmp\\open.xml",
                            "save lookup: D:\\srv\\open.xml; list entry D:\\srv\\open.xml, access \"\"",
                            refusedByPolicy, kRefusedSave));
    EXPECT_THAT(LogEvents(LogPath())[0], testing::EndsWith("; launch file " + (m_dir / "view.zvl").string()));
#ifndef _WIN32
    // Windows debug output goes to the system's channel, which the
    // end-to-end session reads through zelview-sim.
    const std::string prefix = "ZelDMAgent: ";
    EXPECT_THAT(Lines(DebugPath()), ElementsAre(prefix + LaunchedLine(), prefix + readOnly, prefix + kRefusedSave,
                                                prefix + refusedByPolicy, prefix + kRefusedSave));
#endif
}

// Level 2 adds each call of the viewer with its result; a line break in a
// markup's name cannot forge a line.
TEST_F(SessionLog, TheViewerCallsLevelAddsEveryCall) {
    ScopedLogPolicy log(LogPath(), REG_SZ, 2);
    StartLoggedSession();
    EXPECT_HR(E_FAIL, Save("C:\\tmp\\x\nsave launched: forged.xml"));
    const std::vector<std::string> events = LogEvents(LogPath());
    EXPECT_THAT(events, testing::Contains("viewer call ResolvePath: 0x00000000"));
    EXPECT_THAT(events, testing::Contains("viewer call LoadDocumentMarkups: 0x00000000"));
    EXPECT_THAT(events, testing::Contains("save requested: markup C:\\tmp\\x?save launched: forged.xml"));
    EXPECT_THAT(events, testing::Not(testing::Contains(StartsWith("save launched"))));
}

// A log that cannot be written, or none configured as it must be: the save
// runs as without a log, nothing is shown, and no file appears; the debug
// output still tells the decision.
TEST_F(SessionLog, WithoutAWritableLogTheSaveRunsAsBefore) {
    const std::string relative = "zel-relative-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".log";
    std::filesystem::remove(relative);
    const struct {
        std::optional<std::string> path;  // none: no LogFile value
        DWORD type;
    } cases[] = {{std::nullopt, REG_SZ},
                 {"", REG_SZ},
                 {relative, REG_SZ},
                 {(m_dir / "no-such-folder" / "agent.log").string(), REG_SZ},
                 {LogPath(), REG_BINARY}};
    for (const auto& c : cases) {
        std::optional<ScopedLogPolicy> log;
        if (c.path) log.emplace(*c.path, c.type);
        StartLoggedSession();
        ASSERT_HR(S_OK, Save("C:\\tmp\\open.xml")) << c.path.value_or("<no value>");
        EXPECT_THAT(m_messages.Texts(), testing::IsEmpty());
#ifndef _WIN32
        EXPECT_THAT(Lines(DebugPath()), ElementsAre("ZelDMAgent: " + LaunchedLine()));
        std::filesystem::remove(DebugPath());
#endif
        nuvsim::CloseDocuments();
        ReleaseAgent();
    }
    EXPECT_FALSE(std::filesystem::exists(relative));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "no-such-folder"));
    EXPECT_FALSE(std::filesystem::exists(LogPath()));
}

TEST(LogFile, AFullLogIsRenamedAndANewOneBegun) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("zel-log-" + std::to_string(reinterpret_cast<uintptr_t>(&dir)));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "agent.log").string();
    std::ofstream(path + kRotatedLogSuffix) << "older";
    std::ofstream(path) << std::string(kMaxLogBytes - 10, 'x');
    ASSERT_TRUE(AppendLogLine(path, "fits\n"));
    EXPECT_EQ(kMaxLogBytes - 5, std::filesystem::file_size(path));
    ASSERT_TRUE(AppendLogLine(path, "does not fit\n"));
    EXPECT_EQ(kMaxLogBytes - 5, std::filesystem::file_size(path + kRotatedLogSuffix));
    EXPECT_EQ(13u, std::filesystem::file_size(path));
    std::filesystem::remove_all(dir);
}

TEST(LogFile, TheSessionIdentifierShowsOnlyItsBeginningAndLength) {
    EXPECT_EQ("4f3a...(12 chars)", MaskedSessionId(kSessionId));
    // All of a short one would be the whole credential.
    EXPECT_EQ("...(4 chars)", MaskedSessionId("abcd"));
    EXPECT_EQ("...(0 chars)", MaskedSessionId(""));
    EXPECT_EQ("a?bc...(6 chars)", MaskedSessionId("a\nbcde"));
    // Quoted in the command line, the identifier goes with its quotes.
    const SaveCommandItems items{ReadSaveProgram("C:\\PDM\\save.exe --x"), "42 secret id", "D:\\srv\\g.dwg", "g.xml", "view"};
    EXPECT_EQ("C:\\PDM\\save.exe --x MarkupSave 42 s...(12 chars) D:\\srv\\g.dwg g.xml view",
              CommandLineForLog(items, MaskedSessionId(items.sessionId)));
}

}  // namespace
