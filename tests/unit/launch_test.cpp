// Running the save command detached, and the user message's caption.
#include "platform/system/launch.h"
#include "platform/system/message.h"

#include "platform/system/registry.h"
#ifndef _WIN32
#include "platform/system/native/command_words.h"
#endif
#include "tests/support/recorder.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Words = std::vector<std::string>;

class LaunchCommandTest : public testing::Test {
protected:
    std::string WaitForRecord() const { return m_recorder.WaitForRecord(); }
    RecorderOutput m_recorder;
};

TEST_F(LaunchCommandTest, SaveCommandReachesTheProgramUnchanged) {
    const std::string recorder = RecorderPath();
    ASSERT_TRUE(fs::exists(recorder)) << recorder;
    ASSERT_EQ(LaunchCommand(recorder + " MarkupSave 42 D:\\srv\\a.xml b.xml view"), 0);
    const std::string record = WaitForRecord();
    const std::vector<std::string> items = RecordedItems(record);
    ASSERT_FALSE(items.empty()) << record;
    // start hands the program its own path as it found it.
    EXPECT_NE(items[0].find("DMAgent"), std::string::npos) << record;
    EXPECT_EQ(RecordedArguments(record), (Words{"MarkupSave", "42", "D:\\srv\\a.xml", "b.xml", "view"}))
        << record << m_recorder.CommandLines();
}

// By the runtime's argument rules a run of blanks is one separator, so a bare
// empty item is lost and moves the later ones up; "" keeps its place. The
// native stand-in splits the same way.
TEST_F(LaunchCommandTest, OnlyAQuotedEmptyItemKeepsItsPlace) {
    ASSERT_EQ(LaunchCommand(RecorderPath() + " MarkupSave  \"\" D:\\srv\\a.xml  \t view \"\""), 0);
    const std::string record = WaitForRecord();
    EXPECT_EQ(RecordedArguments(record), (Words{"MarkupSave", "", "D:\\srv\\a.xml", "view", ""}))
        << record << m_recorder.CommandLines();
}

#ifndef _WIN32

TEST(CommandWords, AreSplitByTheRuntimesRules) {
    const std::pair<std::string, Words> cases[] = {
        {" \t ", {}}, {"\"\"", {""}}, {"a\"\"b \"x y\"z", {"ab", "x yz"}}, {"\"a \"\"b\" c", {"a \"b c"}},
        {"a\\\\\"b c\" d\\\"e \\x\\", {"a\\b c", "d\"e", "\\x\\"}},
    };
    for (const auto& [command, words] : cases) EXPECT_EQ(SplitCommandWords(command), words) << "[" << command << "]";
}

TEST_F(LaunchCommandTest, ProgramsThatCannotStartReportFailure) {
    EXPECT_EQ(LaunchCommand("/nonexistent/zel-no-such-program MarkupSave 42"), -1);
    EXPECT_EQ(LaunchCommand("zel-no-such-program-on-path"), -1);
    EXPECT_EQ(LaunchCommand(""), -1);
    EXPECT_EQ(LaunchCommand(" MarkupSave 42"), -1) << "no program before MarkupSave";
    EXPECT_EQ(LaunchCommand("\"\" MarkupSave 42"), -1) << "an empty program name";
    EXPECT_EQ(LaunchCommand(fs::temp_directory_path().string()), -1) << "a folder is no program";
}

TEST_F(LaunchCommandTest, LeavesNoChildBehind) {
    ASSERT_EQ(LaunchCommand(RecorderPath() + " x"), 0);
    WaitForRecord();
    int status = 0;
    errno = 0;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1) << "the launcher's own child is reaped";
    EXPECT_EQ(errno, ECHILD);
}

#endif

TEST(MessageCaption, IsTheRootsLastName) {
    {
        ScopedEnv env(kRegRootVariable, std::nullopt);
        EXPECT_EQ(MessageCaption(), "ZelView");
    }
    {
        ScopedEnv env(kRegRootVariable, std::string());
        EXPECT_EQ(MessageCaption(), "ZelView");
    }
    {
        ScopedEnv env(kRegRootVariable, std::string("A\\B\\4.1"));
        EXPECT_EQ(MessageCaption(), "4.1");
    }
    {
        ScopedEnv env(kRegRootVariable, std::string("A\\B\\"));
        EXPECT_EQ(MessageCaption(), "");
    }
    ScopedEnv env(kRegRootVariable, std::string("Plain"));
    EXPECT_EQ(MessageCaption(), "Plain");
}

#ifndef _WIN32

TEST(ShowMessage, WritesCaptionAndTextToStandardError) {
    ScopedEnv env(kRegRootVariable, std::string("A\\B\\4.1"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowMessage("You do not have permission to update markup"), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "4.1: You do not have permission to update markup\n");
}

#endif

}  // namespace
