// The save command through the DLL under Wine: each item that the agent
// quotes must reach the recorder as one argument, through the real
// interpreter and its start; a line that needs no quoting passes unchanged;
// a save that cannot reach the PDM shows its message box.

#include "platform/com/string_ids.h"
#include "tests/save_dll/dll_save_session.h"
#include "tests/support/hresult.h"

namespace {

using SaveDll = DllSaveSession;
using SaveDllRefusal = DllSaveRefusal;

TEST_F(SaveDll, ALineThatNeedsNoQuotesPassesUnchanged) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n", "Application=view\r\n");
    ASSERT_HR(S_OK, Save("C:\\tmp\\gear_1.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.xml", "gear_1.xml", "view"})) << CommandLines();
    const std::string line = m_recorder.CommandLines();
    EXPECT_NE(line.find(" MarkupSave 42 D:\\srv\\gear.xml gear_1.xml view"), std::string::npos) << line;
}

TEST_F(SaveDll, BlanksStayInsideTheirItems) {
    StartWithValues("ServerPath=C:\\Users\\Jane Doe\\vault\\bracket.dwg\r\n"
                    "session_id=42 C:\\Users\\v\\secret.docx secret.docx\r\n",
                    "Application=Zel View\r\n");
    ASSERT_HR(S_OK, Save("C:\\Users\\Jane Doe\\temp\\my markup (2).xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42 C:\\Users\\v\\secret.docx secret.docx",
                                  "C:\\Users\\Jane Doe\\vault\\bracket.dwg", "my markup (2).xml", "Zel View"}))
        << CommandLines();
}

TEST_F(SaveDll, InterpreterCharactersArriveAsWritten) {
    StartWithValues("ServerPath=D:\\a;b,c=d\\gear.dwg\r\nsession_id=42\r\n", "Application=view\r\n");
    ASSERT_HR(S_OK, Save("C:\\tmp\\a&calc|b>c<d^e.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\a;b,c=d\\gear.dwg", "a&calc|b>c<d^e.xml", "view"}))
        << CommandLines();
}

TEST_F(SaveDll, AQuotedItemKeepsItsTrailingBackslash) {
    StartWithValues("ServerPath=D:\\Jane Doe\\\r\nsession_id=42\r\n", "Application=view\r\n");
    ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\Jane Doe\\", "x.xml", "view"})) << CommandLines();
}

TEST_F(SaveDll, ATabStaysInsideItsItem) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n", "Application=Zel\tView\r\n");
    ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.xml", "x.xml", "Zel\tView"})) << CommandLines();
}

TEST_F(SaveDllRefusal, WhatQuotingCannotProtectIsRefusedAndTold) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n", "Application=view\r\n");
    for (const char* path : {"C:\\tmp\\%PATH%.xml", "C:\\tmp\\a\"b.xml", "C:\\tmp\\!x!.xml"})
        ExpectRefusal(path, IDS_SAVE_UNSAFE_FILE_NAME);
    ExpectNothingLaunched();
}

TEST_F(SaveDllRefusal, InstructionsInDMAgentAreRefusedAndTold) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n",
                    "DMAgent=" + RecorderPath() + " & calc\r\nApplication=view\r\n");
    ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_UNSAFE_LAUNCH_VALUE);
    ExpectNothingLaunched();
}

// Without a program, start would run whatever is called MarkupSave in the
// current folder or on the path: one is planted in the current folder.
TEST_F(SaveDllRefusal, AnEmptyDMAgentRunsNothing) {
    const std::filesystem::path planted = std::filesystem::current_path() / "MarkupSave.exe";
    std::error_code copyError;
    std::filesystem::copy_file(RecorderPath(), planted, std::filesystem::copy_options::overwrite_existing, copyError);
    StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n", "DMAgent=\r\nApplication=view\r\n");
    ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_NO_COMMAND);
    ExpectNothingLaunched();
    std::error_code ignored;
    std::filesystem::remove(planted, ignored);
}

// A markup file the viewer has written beside the server file, under the
// spellings Windows takes for it: its short (8.3) name, trailing dots and
// blanks, a stream.
class SaveDllSpelling : public DllSaveRefusal {
protected:
    void StartWithMarkup(const char* access) {
        m_markup = (m_dir / "bracket_review.xml").string();
        std::ofstream(m_markup, std::ios::binary) << "<markup/>";
        StartWithValues("ServerPath=" + (m_dir / "bracket.dwg").string() + "\r\nsession_id=42\r\n",
                        "NumMarkups=1\r\nMarkup0=" + m_markup + "\r\nMarkupAccess0=" + access + "\r\n");
        char shortPath[MAX_PATH] = {};
        const DWORD length = GetShortPathNameA(m_markup.c_str(), shortPath, sizeof shortPath);
        m_short.assign(shortPath, length < sizeof shortPath ? length : 0);
        ASSERT_NE(m_short.find('~'), std::string::npos) << m_short;
    }
    std::string m_markup, m_short;
};

TEST_F(SaveDllSpelling, EverySpellingOfAReadOnlyMarkupIsRefused) {
    StartWithMarkup("read");
    for (const std::string& path : {m_markup, m_short, m_markup + ". .", m_short + " "})
        ExpectRefusal(path, IDS_NO_MARKUP_PERMISSION);
    ExpectRefusal(m_markup + "::$DATA", IDS_SAVE_MARKUP_STREAM);
    ExpectNothingLaunched();
}

TEST_F(SaveDllSpelling, AShortNameReachesThePdmAsTheLongName) {
    StartWithMarkup("write");
    ASSERT_HR(S_OK, Save(m_short + "."));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", (m_dir / "bracket.dwg").string(), "bracket_review.xml", ""}))
        << CommandLines();
}

}  // namespace
