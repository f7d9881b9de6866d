// What a session leaves for an administrator: the log file that the machine
// policy switches on, and the debug output that is always written (natively
// to the file ZEL_DEBUG_OUTPUT_FILE names). Under Wine the same session runs
// through the DLL against the real registry (tests/save_dll).
#include "pdm/save_command.h"
#include "pdm/session_log.h"
#include "platform/system/log_file.h"
#include "platform/com/string_ids.h"
#include "tests/support/captured_messages.h"
#include "tests/support/code_page_for_test.h"
#include "tests/support/log_policy.h"
#include "tests/support/save_policy_for_test.h"
#include "tests/support/save_session.h"
#include "tests/support/scoped_env.h"
#include "platform/system/registry_api.h"

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
    ASSERT_FALSE(LogEvents(LogPath()).empty());
    // The start line answers what decides the saves: the log's settings, the
    // save program policy, whose session it is.
    EXPECT_THAT(LogEvents(LogPath())[0],
                testing::HasSubstr("; launch file " + (m_dir / "view.zvl").string() +
                                   "; log level 1, event log on; save program policy not set; computer "));
    EXPECT_THAT(LogEvents(LogPath())[0], testing::Not(testing::HasSubstr("(none)")));
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

// LogLevel 0 is no "off": with LogFile set, the documents promise sessions
// and saves, as for 1.
TEST_F(SessionLog, LevelZeroLogsSessionsAndSaves) {
    ScopedLogPolicy log(LogPath(), REG_SZ, 0);
    StartLoggedSession();
    const std::vector<std::string> events = LogEvents(LogPath());
    EXPECT_THAT(events, testing::Contains(StartsWith("session start: ")));
    EXPECT_THAT(events, testing::Contains(testing::HasSubstr("; log level 1, ")));
    EXPECT_THAT(events, testing::Not(testing::Contains(StartsWith("viewer call "))));
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

#ifndef _WIN32
// Natively the event log's stand-in keeps its entries in a file, one line
// each, as zelview-sim shows them.
class SessionEventLog : public SessionLog {
protected:
    std::string EventsPath() const { return (m_dir / "events.txt").string(); }
    void SetUp() override {
        SessionLog::SetUp();
        m_events.emplace("ZEL_EVENT_LOG_FILE", EventsPath());
    }
    std::optional<ScopedEnv> m_events;
};

// One event a refusal, numbered and worded as the message, with the markup
// and the log line's detail; a launched save writes none.
TEST_F(SessionEventLog, EveryRefusalIsAnEventAndThePolicyValueSwitchesThemOff) {
    StartLoggedSession();
    ASSERT_HR(S_OK, Save("C:\\tmp\\open.xml"));
    EXPECT_HR(E_FAIL, Save("C:\\tmp\\locked.xml"));
    EXPECT_THAT(Lines(EventsPath()),
                ElementsAre("event 105, Information: A markup save was refused (message 105): the markup is "
                            "read-only for this user in the view list. Markup: C:\\tmp\\locked.xml. list entry "
                            "D:\\srv\\locked.xml"));
    nuvsim::CloseDocuments();
    ReleaseAgent();
    std::filesystem::remove(EventsPath());

    ScopedLogPolicy log(LogPath());
    UniqueHkey key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPdmPolicyKey, 0, KEY_ALL_ACCESS, key.put()));
    const DWORD off = 0;
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key.get(), kEventLogValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off));
    StartLoggedSession();
    EXPECT_HR(E_FAIL, Save("C:\\tmp\\locked.xml"));
    EXPECT_FALSE(std::filesystem::exists(EventsPath()));
    EXPECT_THAT(LogEvents(LogPath())[0], testing::HasSubstr("; log level 1, event log off;"));
}

// Every message a save can be refused with has its event text.
TEST_F(SessionEventLog, EveryRefusalMessageHasItsEventText) {
    ConfigureSessionLog();
    const unsigned refusals[] = {IDS_NO_MARKUP_PERMISSION,  IDS_SAVE_NO_COMMAND,        IDS_SAVE_UNSAFE_LAUNCH_VALUE,
                                 IDS_SAVE_UNSAFE_FILE_NAME, IDS_SAVE_COMMAND_TOO_LONG,  IDS_SAVE_PROGRAM_NOT_ALLOWED,
                                 IDS_SAVE_NOT_STARTED,      IDS_SAVE_NO_FILE_NAME,      IDS_SAVE_MARKUP_STREAM,
                                 IDS_SAVE_NAME_TOO_LONG,    IDS_SAVE_UNKNOWN_DOCUMENT,  IDS_SAVE_NO_PROGRAM_ALLOWED,
                                 IDS_SAVE_PROGRAM_NOT_FULL_PATH, IDS_SAVE_NO_SERVER_FILE,    IDS_SAVE_PROGRAM_NOT_FOUND};
    for (unsigned id : refusals) ReportRefusedSave(id, "m.xml", "why");
    const std::vector<std::string> events = Lines(EventsPath());
    ASSERT_EQ(events.size(), std::size(refusals));
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_THAT(events[i], testing::MatchesRegex("event " + std::to_string(refusals[i]) +
                                                     ", (Error|Warning|Information): A markup save .*\\(message " +
                                                     std::to_string(refusals[i]) + "\\): .* Markup: m\\.xml\\. why"));
    }
}

// The identifier in a server path, a markup path or a command line is masked
// in the log, the debug output and the event log, with no log policy too;
// and no channel carries a control character (tab, DEL) of a value.
TEST_F(SessionEventLog, TheSessionIdentifierNeverAppearsWholeAndNoChannelCarriesAControlCharacter) {
    const std::string id = "S-2026-77c1e0a9";
    const std::string masked = "S-20...(15 chars)";
    const std::string text = "[ServerFile]\nFileTypeID=PDM.Markup\nServerPath=D:\\cache\\" + id + "\\gear.xml\n"
                             "session_id=" + id + "\n[ViewList]\nNumMarkups=2\nMarkup0=D:\\cache\\" + id +
                             "\\locked.xml\nMarkupAccess0=read\nMarkup1=D:\\cache\\" + id + "\\open.xml\n"
                             "DMAgent=" + RecorderPath() + "\nApplication=view\n";
    for (const bool logged : {false, true}) {
        SCOPED_TRACE(logged ? "with a log" : "without a log");
        std::optional<ScopedLogPolicy> log;
        if (logged) log.emplace(LogPath());
        ASSERT_HR(S_OK, StartSession(text, nuvsim::kKind2D));
        ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(9));
        ASSERT_HR(S_OK, Save("C:\\tmp\\open.xml"));
        EXPECT_HR(E_FAIL, Save(("C:\\tmp\\x&session=" + id + "\\locked.xml").c_str()));
        EXPECT_HR(E_FAIL, Save("C:\\tmp\\a\tb\x7F" "\x01.xml"));
        Save("C:\\tmp\\a-long-name-with-a-lone-del\x7F" "in-its-middle.xml");
        nuvsim::CloseDocuments();
        ReleaseAgent();
    }
    std::vector<std::string> all = Lines(DebugPath());
    for (const std::string& channel : {LogPath(), EventsPath()})
        for (const std::string& line : Lines(channel)) all.push_back(line);
    ASSERT_THAT(all, testing::Contains(testing::HasSubstr("D:\\cache\\" + masked + "\\gear.xml")));
    ASSERT_THAT(all, testing::Contains(testing::HasSubstr("x&session=" + masked + "\\locked.xml")));
    ASSERT_THAT(all, testing::Contains(testing::HasSubstr("a?b??.xml")));
    ASSERT_THAT(all, testing::Contains(testing::HasSubstr("lone-del?in-its")));
    for (std::string line : all) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        EXPECT_EQ(line.find(id), std::string::npos) << line;
        EXPECT_EQ(line.find_first_of("\t\x7F\x01"), std::string::npos) << line;
    }
}
#endif

// A folder of its own for a test's log file, gone with the test. Declared
// before the LogFile objects, it outlives their open files.
struct LogFolder {
    explicit LogFolder(const char* name)
        : dir(std::filesystem::temp_directory_path() / ("zel-log-" + std::string(name))) {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ~LogFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    const std::filesystem::path dir;
    const std::string path = (dir / "agent.log").string();
};

// The time as a log file sees it, moved on by the tests.
unsigned long long g_logClock = 0;
unsigned long long TestLogClock() { return g_logClock; }

std::string Line(size_t bytes) { return std::string(bytes - 1, 'l') + "\n"; }

// The rotated file's name is the one the documents give (agent.log.1), not
// the product's constant read back.
TEST(LogFile, AFullLogIsRenamedAndANewOneBegun) {
    const LogFolder folder("rotated");
    const std::string rotated = (folder.dir / "agent.log.1").string();
    std::ofstream(rotated) << "older";
    std::ofstream(folder.path) << std::string(kMaxLogBytes - 10, 'x');
    LogFile log;
    ASSERT_TRUE(log.Append(folder.path, "fits\n"));
    EXPECT_EQ(kMaxLogBytes - 5, std::filesystem::file_size(folder.path));
    ASSERT_TRUE(log.Append(folder.path, "does not fit\n"));
    EXPECT_EQ(kMaxLogBytes - 5, std::filesystem::file_size(rotated));
    EXPECT_EQ(13u, std::filesystem::file_size(folder.path));
}

// Two viewers that both found the file full: the second finds the first's
// new file at the path and writes there, leaving the rotated file whole.
// A file moved away is left for the one at the path.
TEST(LogFile, TwoWritersRotateOnceAndFollowTheFileAtThePath) {
    const LogFolder folder("two-writers");
    std::ofstream(folder.path) << std::string(kMaxLogBytes - 10, 'x');
    LogFile first(TestLogClock), second(TestLogClock);
    ASSERT_TRUE(first.Append(folder.path, "a\n"));
    ASSERT_TRUE(second.Append(folder.path, "b\n"));
    ASSERT_TRUE(first.Append(folder.path, "first, over the limit\n"));
    ASSERT_TRUE(second.Append(folder.path, "second, over the limit\n"));
    EXPECT_EQ(kMaxLogBytes - 6, std::filesystem::file_size(folder.dir / "agent.log.1"));
    EXPECT_EQ(std::string("first, over the limit\nsecond, over the limit\n").size(),
              std::filesystem::file_size(folder.path));

#ifndef _WIN32
    // Windows tells the open file's new name; Wine tells the one it was
    // opened under.
    std::filesystem::rename(folder.path, folder.dir / "moved.log");
    g_logClock += kLogPathCheckMillis;
    ASSERT_TRUE(first.Append(folder.path, "after the move\n"));
    EXPECT_EQ(15u, std::filesystem::file_size(folder.path));
#endif
}

// Between two looks at the path a writer counts its own lines: it keeps the
// limit to the byte with the clock standing still.
TEST(LogFile, OneWriterKeepsTheLimitBetweenLooksAtThePath) {
    const LogFolder folder("own-lines");
    std::ofstream(folder.path) << std::string(kMaxLogBytes - 90, 'x');
    LogFile log(TestLogClock);
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(log.Append(folder.path, Line(30)));
    EXPECT_EQ(kMaxLogBytes, std::filesystem::file_size(folder.dir / "agent.log.1"));
    EXPECT_EQ(30u, std::filesystem::file_size(folder.path));
}

// What another viewer wrote counts from the next look on; a file that
// someone emptied meanwhile is not renamed for the size this one knew.
TEST(LogFile, TheSizeIsReadAgainAtEachLookAndBeforeARename) {
    const LogFolder folder("others-lines");
    std::ofstream(folder.path) << std::string(kMaxLogBytes - 100, 'x');
    LogFile log(TestLogClock);
    ASSERT_TRUE(log.Append(folder.path, Line(10)));
    std::ofstream(folder.path, std::ios::app) << std::string(85, 'o');
    g_logClock += kLogPathCheckMillis;
    ASSERT_TRUE(log.Append(folder.path, Line(10)));
    EXPECT_EQ(kMaxLogBytes - 5, std::filesystem::file_size(folder.dir / "agent.log.1"));
    EXPECT_EQ(10u, std::filesystem::file_size(folder.path));

    for (int i = 0; i < 4; ++i) ASSERT_TRUE(log.Append(folder.path, Line(10)));
    std::ofstream(folder.path, std::ios::trunc).flush();
    ASSERT_TRUE(log.Append(folder.path, Line(kMaxLogBytes / 2)));
    ASSERT_TRUE(log.Append(folder.path, Line(kMaxLogBytes / 2)));
    EXPECT_EQ(kMaxLogBytes, std::filesystem::file_size(folder.path));
    EXPECT_EQ(kMaxLogBytes - 5, std::filesystem::file_size(folder.dir / "agent.log.1"));
}

#ifndef _WIN32
// A file moved or deleted by someone else: lines go on into it until the
// next look at the path, then into a file begun there.
TEST(LogFile, AFileMovedOrDeletedIsLeftAtTheNextLookAtThePath) {
    const LogFolder folder("moved");
    LogFile log(TestLogClock);
    ASSERT_TRUE(log.Append(folder.path, "first\n"));
    std::filesystem::rename(folder.path, folder.dir / "moved.log");
    g_logClock += kLogPathCheckMillis - 1;
    ASSERT_TRUE(log.Append(folder.path, "before the look\n"));
    EXPECT_FALSE(std::filesystem::exists(folder.path));
    g_logClock += 1;
    ASSERT_TRUE(log.Append(folder.path, "at the look\n"));
    EXPECT_EQ(std::string("first\nbefore the look\n").size(), std::filesystem::file_size(folder.dir / "moved.log"));
    EXPECT_EQ(std::string("at the look\n").size(), std::filesystem::file_size(folder.path));

    std::filesystem::remove(folder.path);
    g_logClock += kLogPathCheckMillis;
    ASSERT_TRUE(log.Append(folder.path, "after the deletion\n"));
    EXPECT_EQ(std::string("after the deletion\n").size(), std::filesystem::file_size(folder.path));
}
#endif

std::string Stamp(long long unixMillis, unsigned long processId, unsigned long threadId) {
    std::string line = "<";
    AppendFormattedLogLineStamp(line, unixMillis, processId, threadId);
    return line;
}

TEST(LogFile, TheStampIsTheUtcTimeToTheMillisecondAndTheProcessAndThread) {
    EXPECT_EQ("<1970-01-01T00:00:00.000Z pid 1 tid 0 ", Stamp(0, 1, 0));
    EXPECT_EQ("<2026-12-09T03:41:07.512Z pid 308 tid 4294967295 ", Stamp(1796787667512LL, 308, 4294967295UL));
    // The day after 28 February of a leap year, and the last of the year.
    EXPECT_EQ("<2024-02-29T23:59:59.999Z pid 2 tid 3 ", Stamp(1709251199999LL, 2, 3));
    EXPECT_EQ("<2023-12-31T12:00:00.000Z pid 2 tid 3 ", Stamp(1704024000000LL, 2, 3));
}

TEST(LogFile, TheSessionIdentifierShowsOnlyItsBeginningAndLength) {
    EXPECT_EQ("4f3a...(12 chars)", MaskedSessionId(kSessionId));
    // Of eight characters or fewer, four would all but reveal the rest.
    EXPECT_EQ("...(8 chars)", MaskedSessionId("abcdefgh"));
    EXPECT_EQ("abcd...(9 chars)", MaskedSessionId("abcdefghi"));
    EXPECT_EQ("...(0 chars)", MaskedSessionId(""));
    EXPECT_EQ("a?b?...(10 chars)", MaskedSessionId("a\nb\x7F" "efghij"));
#ifndef _WIN32
    {
        // Counted and cut in characters: four double-byte ones shown whole.
        ScopedAnsiCodePage japanese(932);
        const std::string kana = "\x82\xa0\x82\xa2\x82\xa4\x82\xa6";
        EXPECT_EQ(kana + "...(9 chars)", MaskedSessionId(kana + "\x82\xa8" "abcd"));
        EXPECT_EQ("...(8 chars)", MaskedSessionId(kana + "abcd"));
    }
#endif
    // Quoted in the command line, the identifier goes with its quotes.
    const SaveCommandItems items{ReadSaveProgram("C:\\PDM\\save.exe --x"), "42 secret id", "D:\\srv\\g.dwg", "g.xml", "view"};
    EXPECT_EQ("C:\\PDM\\save.exe --x MarkupSave 42 s...(12 chars) D:\\srv\\g.dwg g.xml view",
              CommandLineForLog(items, MaskedSessionId(items.sessionId)));
}

}  // namespace
