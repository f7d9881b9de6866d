// Saving a markup for real: the save command reaches a recorder program
// through the system's launch path, item by item; a save that cannot reach
// the PDM is refused with a message box that says why.
#include "pdm/save_command.h"
#include "platform/system/registry.h"
#include "platform/com/string_ids.h"
#include "tests/support/captured_messages.h"
#include "tests/support/save_session.h"
#include "tests/support/scoped_env.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

constexpr char kNothing[] = "<nothing recorded>";

class MarkupSave : public SaveSessionTest {
protected:
    void StartWith(const std::string& access, const std::string& extra = "") {
        const std::string text = "[ServerFile]\nFileTypeID=PDM.Markup\nServerPath=D:\\srv\\gear.xml\nsession_id=42\n" + extra +
                                 "[ViewList]\nNumMarkups=2\nMarkup0=d:/SRV/GEAR_1.XML\nMarkupAccess0=" + access +
                                 "\nMarkup1=D:\\srv\\other.xml\nDMAgent=" + RecorderPath() + "\nApplication=view\n";
        ASSERT_HR(S_OK, StartSession(text, nuvsim::kKind3D));
    }

    // A session of the given launch file values, the recorder as DMAgent
    // unless the values name one.
    void StartWithValues(const std::string& serverFile, const std::string& viewList) {
        const bool namesProgram = viewList.find("DMAgent=") != std::string::npos;
        const std::string text = "[ServerFile]\nFileTypeID=PDM.Markup\n" + serverFile + "[ViewList]\n" + viewList +
                                 (namesProgram ? "" : "DMAgent=" + RecorderPath() + "\n");
        ASSERT_HR(S_OK, StartSession(text, nuvsim::kKind2D));
    }
};

TEST_F(MarkupSave, LaunchesTheFrontEndsCommandItemByItem) {
    StartWith("write");
    ASSERT_HR(S_OK, Save("C:\\tmp\\gear_1.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.xml", "gear_1.xml", "view"}))
        << m_recorder.CommandLines();
}

TEST_F(MarkupSave, EmptyLaunchFileValuesKeepTheirPlaces) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\n", "");
    ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "", "D:\\srv\\gear.xml", "x.xml", ""})) << m_recorder.CommandLines();
}

// The PDM gets the name the markup was looked up under: the whole name that
// Windows keeps (it drops trailing dots and blanks), from whatever folder.
TEST_F(MarkupSave, TheNameHandedOnIsTheWholeNameWindowsKeeps) {
    StartWith("write");
    const std::string name = std::string(255, 'n') + ".xml";
    ASSERT_HR(S_OK, Save(("C:\\" + std::string(300, 'f') + "\\" + name + ". ").c_str()));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.xml", name, "view"}));
}

TEST_F(MarkupSave, OnlyTheLowerCaseReadRefusesAndLaunchesNothing) {
    if (!CanShowMessages()) GTEST_SKIP() << "no display for the message box";
    StartWith("read");
    ExpectRefusal("C:\\elsewhere\\gear_1.xml", IDS_NO_MARKUP_PERMISSION);
    EXPECT_EQ(kNothing, m_recorder.WaitForRecord(1500ms));
}

TEST_F(MarkupSave, TheRefusalsCaptionFollowsTheSettingsRoot) {
    if (!CanShowMessages()) GTEST_SKIP() << "no display for the message box";
    ScopedEnv root(kRegRootVariable, std::string("Software\\ZelTest\\4.1"));
    StartWith("read");
    const Shown shown = SaveSeeingMessage("gear_1.xml", "4.1");
    EXPECT_HR(E_FAIL, shown.hr);
    EXPECT_TRUE(shown.box) << "no box captioned 4.1";
    EXPECT_EQ(UserMessage(IDS_NO_MARKUP_PERMISSION), shown.text);
}

TEST_F(MarkupSave, ReadInAnyOtherCaseStillSaves) {
    StartWith("READ");
    ASSERT_HR(S_OK, Save("C:\\tmp\\gear_1.xml"));
    EXPECT_NE(kNothing, m_recorder.WaitForRecord());
}

TEST_F(MarkupSave, NotificationsOfAListedDocumentSaveToo) {
    StartWith("write");
    ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(21));
    // The viewer sends the save to the sink it registered.
    ASSERT_HR(S_OK, nuvsim::Save3DMarkup(nuvsim::GetConfig().viewHandle3D, 21, "C:\\tmp\\other.xml",
                                         kNotifySaveDocumentMarkupAlt));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.xml", "other.xml", "view"}));
    // A handle the agent never loaded is no document of the session: the
    // save is refused, and the user told.
    const CapturedMessages messages;
    DocumentMarkupSave unknown{22, "C:\\tmp\\other.xml"};
    EXPECT_HR(E_FAIL, Session<IAgentNotify>()->Notify(kNotifySaveDocumentMarkup, nullptr, 0, &unknown, nullptr));
    EXPECT_EQ(messages.Texts(), Words{UserMessage(IDS_SAVE_UNKNOWN_DOCUMENT)});
}

// Paths with blanks are everyday on Windows: unquoted, every blank would move
// the later items, and the PDM would take another file altogether.
TEST_F(MarkupSave, BlanksStayInsideTheirItems) {
    StartWithValues("ServerPath=C:\\Users\\Jane Doe\\vault\\bracket.dwg\n"
                    "session_id=42 C:\\Users\\v\\secret.docx secret.docx\n",
                    "Application=Zel View\n");
    ASSERT_HR(S_OK, Save("C:\\Users\\Jane Doe\\temp\\my markup (2).xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42 C:\\Users\\v\\secret.docx secret.docx",
                                  "C:\\Users\\Jane Doe\\vault\\bracket.dwg", "my markup (2).xml", "Zel View"}))
        << m_recorder.CommandLines();
}

// Inside quotes the interpreter reads its instruction characters as text:
// a file name with them is saved, and runs nothing of its own.
TEST_F(MarkupSave, InterpreterCharactersArriveAsWritten) {
    StartWithValues("ServerPath=D:\\a;b,c=d\\gear.dwg\nsession_id=42\n", "Application=view\n");
    ASSERT_HR(S_OK, Save("C:\\tmp\\a&calc|b>c<d^e.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\a;b,c=d\\gear.dwg", "a&calc|b>c<d^e.xml", "view"}))
        << m_recorder.CommandLines();
}

// A quoted item that ends in a backslash must not have its closing quote
// taken for a character.
TEST_F(MarkupSave, AQuotedItemKeepsItsTrailingBackslash) {
    StartWithValues("ServerPath=D:\\Jane Doe\\\nsession_id=42\n", "Application=view\n");
    ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\Jane Doe\\", "x.xml", "view"})) << m_recorder.CommandLines();
}

class MarkupSaveRefusal : public SaveRefusalTest {
protected:
    void StartWithValues(const std::string& serverFile, const std::string& viewList) {
        // The launch file reader takes the first of two equal keys: the
        // session identifier here is a default that serverFile may override.
        const std::string text = "[ServerFile]\nFileTypeID=PDM.Markup\n" + serverFile + "session_id=42\n[ViewList]\n" +
                                 viewList;
        ASSERT_HR(S_OK, StartSession(text, nuvsim::kKind2D));
    }
};

TEST_F(MarkupSaveRefusal, WhatQuotingCannotProtectInTheFileNameIsRefusedAndTold) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\n", "DMAgent=" + RecorderPath() + "\nApplication=view\n");
    for (const char* path : {"C:\\tmp\\%PATH%.xml", "C:\\tmp\\a\"b.xml", "C:\\tmp\\a\nb.xml", "C:\\tmp\\!x!.xml",
                             "C:\\tmp\\a\x1b" "b.xml"})
        ExpectRefusal(path, IDS_SAVE_UNSAFE_FILE_NAME);
    EXPECT_EQ(kNothing, m_recorder.WaitForRecord(1500ms));
}

TEST_F(MarkupSaveRefusal, WhatQuotingCannotProtectInTheLaunchFileIsRefusedAndTold) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ServerPath=D:\\%USERNAME%\\gear.xml\n", "DMAgent=" + RecorderPath() + "\n"},
        {"ServerPath=D:\\srv\\gear.xml\n", "DMAgent=" + RecorderPath() + "\nApplication=view!x!\n"},
        {"ServerPath=D:\\srv\\gear.xml\n", "DMAgent=" + RecorderPath() + " & calc\n"},
        {"ServerPath=D:\\srv\\gear.xml\n", "DMAgent=" + RecorderPath() + "|calc\n"},
    };
    for (const auto& [serverFile, viewList] : cases) {
        StartWithValues(serverFile, viewList);
        ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_UNSAFE_LAUNCH_VALUE);
        nuvsim::CloseDocuments();
        ReleaseAgent();
    }
    EXPECT_EQ(kNothing, m_recorder.WaitForRecord(1500ms));
}

// Without a program, start would look for one called MarkupSave in the
// current folder and on the path, and run whatever is planted there.
TEST_F(MarkupSaveRefusal, AnEmptyDMAgentRunsNothing) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\n", "DMAgent=\nApplication=view\n");
    ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_NO_COMMAND);
    nuvsim::CloseDocuments();
    ReleaseAgent();
    StartWithValues("ServerPath=D:\\srv\\gear.xml\n", "Application=view\n");
    ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_NO_COMMAND);
    EXPECT_EQ(kNothing, m_recorder.WaitForRecord(1500ms));
}

// A markup path without a file name, one that names a stream of a file, the
// other spellings Windows takes for a read-only markup, and names the path
// functions would cut at 255 bytes (the PDM would get another name).
TEST_F(MarkupSaveRefusal, PathsThatNameNoFileOrAnotherSpellingAreRefusedAndTold) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\n", "NumMarkups=1\nMarkup0=d:/SRV/GEAR_1.XML\nMarkupAccess0=read\n"
                    "DMAgent=" + RecorderPath() + "\n");
    const std::pair<std::string, unsigned> cases[] = {
        {"", IDS_SAVE_NO_FILE_NAME}, {"C:\\zel-none\\", IDS_SAVE_NO_FILE_NAME}, {"C:/zel-none/", IDS_SAVE_NO_FILE_NAME},
        {"C:\\zel-none\\..", IDS_SAVE_NO_FILE_NAME}, {"C:\\zel-none\\ . ", IDS_SAVE_NO_FILE_NAME}, {"C:", IDS_SAVE_NO_FILE_NAME},
        {"C:\\zel-none\\gear_1.xml.", IDS_NO_MARKUP_PERMISSION}, {"C:\\zel-none\\GEAR_1.XML. .. ", IDS_NO_MARKUP_PERMISSION},
        {"\\\\?\\C:\\zel-none\\gear_1.xml ", IDS_NO_MARKUP_PERMISSION},
        {"C:\\zel-none\\gear_1.xml::$DATA", IDS_SAVE_MARKUP_STREAM}, {"C:gear_1.xml:copy", IDS_SAVE_MARKUP_STREAM},
        {"\\\\?\\C:\\zel-none\\gear_1.xml::$DATA", IDS_SAVE_MARKUP_STREAM},
        {"C:\\tmp\\" + std::string(256, 'n') + ".xml", IDS_SAVE_NAME_TOO_LONG},
        {"C:\\tmp\\n." + std::string(255, 'x'), IDS_SAVE_NAME_TOO_LONG},
    };
    for (const auto& [path, message] : cases) ExpectRefusal(path.c_str(), message);
    nuvsim::CloseDocuments();
    ReleaseAgent();
    // A cut server folder would look the markup up elsewhere.
    StartWithValues("ServerPath=D:\\" + std::string(256, 'd') + "\\gear.xml\n",
                    "NumMarkups=1\nMarkup0=D:\\srv\\gear_1.xml\nDMAgent=" + RecorderPath() + "\n");
    ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_NAME_TOO_LONG);
    EXPECT_EQ(kNothing, m_recorder.WaitForRecord(1500ms));
}

// The launch file may spell the read-only markup's folder otherwise than
// the server file's; the PDM is handed the file name alone, so a read-only
// markup of that name is refused whatever folder the list gives it.
TEST_F(MarkupSaveRefusal, AReadOnlyMarkupIsRefusedUnderEverySpellingOfItsFolder) {
    const std::string spellings[] = {
        "C:\\PDM\\vault\\.\\review.xml", "C:\\PDM\\vault\\\\review.xml", "C:\\PDM\\vault\\review.xml.",
        "C:\\PDM\\other\\..\\vault\\review.xml", "\\\\?\\C:\\PDM\\vault\\review.xml", "\\\\.\\C:\\PDM\\vault\\review.xml",
        "c:/pdm/VAULT/review.xml ", "D:\\elsewhere\\REVIEW.XML"};
    for (const std::string& listed : spellings) {
        StartWithValues("ServerPath=C:\\PDM\\vault\\gear.dwg\n",
                        "NumMarkups=2\nMarkup0=C:\\PDM\\vault\\mine.xml\nMarkup1=" + listed +
                            "\nMarkupAccess1=read\nDMAgent=" + RecorderPath() + "\n");
        ExpectRefusal("C:\\tmp\\review.xml", IDS_NO_MARKUP_PERMISSION);
        nuvsim::CloseDocuments();
        ReleaseAgent();
    }
    EXPECT_EQ(kNothing, m_recorder.WaitForRecord(1500ms));
}

// The PDM would take the markup in beside no server file, or beside the
// beginning of one the viewer's reader cut at its buffer (1,023 characters).
TEST_F(MarkupSaveRefusal, AMissingOrCutServerPathIsRefusedAndTold) {
    const std::string program = "DMAgent=" + RecorderPath() + "\n";
    for (const std::string& serverFile :
         {std::string(), std::string("ServerPath=\n"), "ServerPath=D:\\" + std::string(1020, 's') + "\n"}) {
        StartWithValues(serverFile, program);
        ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_NO_SERVER_FILE);
        nuvsim::CloseDocuments();
        ReleaseAgent();
    }
    // One character less fits, and the save goes ahead.
    StartWithValues("ServerPath=D:\\" + std::string(1019, 's') + "\n", program);
    ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
    EXPECT_EQ(Arguments().at(2).size(), 1022u);
}

#ifndef _WIN32
// Natively the launch learns when the program does not exist; under Windows
// only a missing interpreter is reported, which no test can arrange.
TEST_F(MarkupSaveRefusal, ACommandThatCannotStartIsTold) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\n", "DMAgent=/nonexistent/zel-pdm-save\n");
    ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_NOT_STARTED);
}

// A launch file value holds up to 1,023 characters; in UTF-8 (or a
// double-byte code page) that is more bytes than the interpreter takes on
// one line once a few of them come together.
TEST_F(MarkupSaveRefusal, AnOverlongCommandIsRefusedAndTold) {
    std::string euros;
    for (int i = 0; i < 1000; ++i) euros += "\xE2\x82\xAC";
    StartWithValues("ServerPath=D:\\" + euros + "\\gear.xml\nsession_id=" + euros + "\n",
                    "DMAgent=" + RecorderPath() + "\nApplication=" + euros + "\n");
    ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_COMMAND_TOO_LONG);
    EXPECT_EQ(kNothing, m_recorder.WaitForRecord(1500ms));
}
#endif

}  // namespace
