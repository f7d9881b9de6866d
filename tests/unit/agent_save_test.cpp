// Saving a markup for real: the save command reaches a recorder program
// through the system's launch path; a markup the user may only read is
// refused with the message box.
#include "pdm/save_command.h"
#include "platform/registry.h"
#include "tests/support/agent_fixture.h"
#include "tests/support/message_box.h"
#include "tests/support/recorder.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace {

using namespace std::chrono_literals;

#ifdef _WIN32
constexpr bool kEmptyItem = false;
#else
constexpr bool kEmptyItem = true;
#endif

// What the recorder saw of a launched save command, as one comparable text:
// the items after the program, separated by single blanks.
std::string Arguments(const std::string& record) {
#ifdef _WIN32
    // The interpreter hands the program its own path as it found it, then the
    // rest of the line; Wine's start joins the items with single blanks, so
    // empty items are only visible in the native build.
    const size_t at = record.find(" MarkupSave");
    if (at == std::string::npos) return record;
    std::string items;
    std::istringstream words(record.substr(at + 1));
    for (std::string word; words >> word;) items += (items.empty() ? "" : " ") + word;
    return items;
#else
    std::string items;
    size_t start = record.find('\t');
    if (start == std::string::npos) return record;
    for (size_t next; (next = record.find('\t', start + 1)) != std::string::npos; start = next)
        items += (items.empty() ? "" : " ") + record.substr(start + 1, next - start - 1);
    return items;
#endif
}

class MarkupSave : public AgentSessionTest {
protected:
    void StartWith(const std::string& access, const std::string& extra = "") {
        const std::string text = "[ServerFile]\nFileTypeID=PDM.Markup\nServerPath=D:\\srv\\gear.xml\nsession_id=42\n" + extra +
                                 "[ViewList]\nNumMarkups=2\nMarkup0=d:/SRV/GEAR_1.XML\nMarkupAccess0=" + access +
                                 "\nMarkup1=D:\\srv\\other.xml\nDMAgent=" + RecorderPath() + "\nApplication=view\n";
        ASSERT_EQ(S_OK, StartSession(text, nuvsim::kKind3D));
    }
    HRESULT Save(const char* path) { return Session<IAgentMarkupSave>()->SaveMarkup(path); }

    // The refusal: the box must show and be closed, or the test would wait
    // for a user.
    HRESULT SaveExpectingRefusal(const char* path, const std::string& caption = "ZelView") {
#ifdef _WIN32
        if (!std::getenv("DISPLAY")) return E_ABORT;
        SeenBox seen;
        std::thread presser = PressOkWhenShown(caption, seen);
        const HRESULT hr = Save(path);
        presser.join();
        EXPECT_TRUE(seen.found) << "no box captioned " << caption;
        EXPECT_EQ("You do not have permission to update markup", seen.text);
        return hr;
#else
        testing::internal::CaptureStderr();
        const HRESULT hr = Save(path);
        const std::string shown = testing::internal::GetCapturedStderr();
        EXPECT_NE(std::string::npos, shown.find(caption)) << shown;
        EXPECT_NE(std::string::npos, shown.find("You do not have permission to update markup")) << shown;
        return hr;
#endif
    }

    RecorderOutput m_recorder;
};

TEST_F(MarkupSave, LaunchesTheFrontEndsCommandItemByItem) {
    StartWith("write");
    ASSERT_EQ(S_OK, Save("C:\\tmp\\gear_1.xml"));
    EXPECT_EQ("MarkupSave 42 D:\\srv\\gear.xml gear_1.xml view", Arguments(m_recorder.WaitForRecord()));
}

TEST_F(MarkupSave, AnEmptyMarkupPathLeavesAnEmptyItem) {
    StartWith("");
    ASSERT_EQ(S_OK, Save(""));
    EXPECT_EQ(kEmptyItem ? "MarkupSave 42 D:\\srv\\gear.xml  view" : "MarkupSave 42 D:\\srv\\gear.xml view",
              Arguments(m_recorder.WaitForRecord()));
}

TEST_F(MarkupSave, EmptyLaunchFileValuesShowAsDoubledBlanks) {
    const std::string text = "[ServerFile]\nFileTypeID=PDM.Markup\nServerPath=D:\\srv\\gear.xml\n[ViewList]\nDMAgent=" + RecorderPath() + "\n";
    ASSERT_EQ(S_OK, StartSession(text, nuvsim::kKind2D));
    ASSERT_EQ(S_OK, Save("C:\\tmp\\x.xml"));
    EXPECT_EQ(kEmptyItem ? "MarkupSave  D:\\srv\\gear.xml x.xml " : "MarkupSave D:\\srv\\gear.xml x.xml",
              Arguments(m_recorder.WaitForRecord()));
}

TEST_F(MarkupSave, OnlyTheLowerCaseReadRefusesAndLaunchesNothing) {
    StartWith("read");
    const HRESULT hr = SaveExpectingRefusal("C:\\elsewhere\\gear_1.xml");
    if (hr == E_ABORT) GTEST_SKIP() << "no display for the message box";
    EXPECT_EQ(E_FAIL, hr);
    EXPECT_EQ("<nothing recorded>", m_recorder.WaitForRecord(1500ms));
}

TEST_F(MarkupSave, TheRefusalsCaptionFollowsTheSettingsRoot) {
    ScopedEnv root(kRegRootVariable, std::string("Software\\ZelTest\\4.1"));
    StartWith("read");
    const HRESULT hr = SaveExpectingRefusal("gear_1.xml", "4.1");
    if (hr == E_ABORT) GTEST_SKIP() << "no display for the message box";
    EXPECT_EQ(E_FAIL, hr);
}

TEST_F(MarkupSave, ReadInAnyOtherCaseStillSaves) {
    StartWith("READ");
    ASSERT_EQ(S_OK, Save("C:\\tmp\\gear_1.xml"));
    EXPECT_NE("<nothing recorded>", m_recorder.WaitForRecord());
}

TEST_F(MarkupSave, NotificationsOfAListedDocumentSaveToo) {
    StartWith("write");
    ASSERT_EQ(S_OK, AgentSession()->LoadDocumentMarkups(21));
    // The viewer sends the save to the sink it registered.
    ASSERT_EQ(S_OK, nuvsim::Save3DMarkup(nuvsim::GetConfig().viewHandle3D, 21, "C:\\tmp\\other.xml",
                                         kNotifySaveDocumentMarkupAlt));
    EXPECT_EQ("MarkupSave 42 D:\\srv\\gear.xml other.xml view", Arguments(m_recorder.WaitForRecord()));
    // A handle the agent never loaded is no document of the session.
    DocumentMarkupSave unknown{22, "C:\\tmp\\other.xml"};
    EXPECT_EQ(E_FAIL, Session<IAgentNotify>()->Notify(kNotifySaveDocumentMarkup, nullptr, 0, &unknown, nullptr));
}

TEST_F(MarkupSave, CommandLinesTheInterpreterWouldReadAsInstructionsAreRefused) {
    StartWith("write", "Application=view\n");
    for (const char* path : {"C:\\tmp\\a&calc.xml", "C:\\tmp\\a|b.xml", "C:\\tmp\\a>b.xml", "C:\\tmp\\%PATH%.xml",
                             "C:\\tmp\\a\"b.xml", "C:\\tmp\\a^b.xml", "C:\\tmp\\a\nb.xml"}) {
        EXPECT_EQ(E_FAIL, Save(path)) << path;
    }
    EXPECT_EQ(E_POINTER, Save(nullptr));
    EXPECT_EQ("<nothing recorded>", m_recorder.WaitForRecord(1500ms));
}

TEST(SaveCommandLine, JoinsItsItemsWithSingleBlanks) {
    EXPECT_EQ("vault.exe MarkupSave 42 D:\\srv\\gear.xml gear_1.xml view",
              JoinSaveCommand("vault.exe", "42", "D:\\srv\\gear.xml", "gear_1.xml", "view"));
    EXPECT_EQ(" MarkupSave    ", JoinSaveCommand("", "", "", "", ""));
}

TEST(SaveCommandLine, RefusesInstructionCharactersAndOverlongLines) {
    EXPECT_TRUE(IsSafeCommandLine("vault.exe MarkupSave 42 D:\\srv\\my gear.xml gear_1.xml view"));
    for (char c : std::string("&|<>^%\"\r\n")) EXPECT_FALSE(IsSafeCommandLine(std::string("a") + c + "b")) << c;
    EXPECT_TRUE(IsSafeCommandLine(std::string(kMaxCommandLength, 'a')));
    EXPECT_FALSE(IsSafeCommandLine(std::string(kMaxCommandLength + 1, 'a')));
}

}  // namespace
