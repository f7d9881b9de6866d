// The save command through the DLL under Wine: each item that the agent
// quotes must reach the recorder as one argument, through the real
// interpreter and its start; a line that needs no quoting passes unchanged;
// a save that cannot reach the PDM shows its message box.
#ifdef _WIN32

#include "platform/string_ids.h"
#include "tests/save_road/dll_save_session.h"
#include "tests/support/hresult.h"

namespace {

using SaveRoad = DllSaveSession;
using SaveRoadRefusal = DllSaveRefusal;

TEST_F(SaveRoad, ALineThatNeedsNoQuotesPassesUnchanged) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n", "Application=view\r\n");
    ASSERT_HR(S_OK, Save("C:\\tmp\\gear_1.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.xml", "gear_1.xml", "view"})) << CommandLines();
    const std::string line = m_recorder.CommandLines();
    EXPECT_NE(line.find(" MarkupSave 42 D:\\srv\\gear.xml gear_1.xml view"), std::string::npos) << line;
}

TEST_F(SaveRoad, BlanksStayInsideTheirItems) {
    StartWithValues("ServerPath=C:\\Users\\Jane Doe\\vault\\bracket.dwg\r\n"
                    "session_id=42 C:\\Users\\v\\secret.docx secret.docx\r\n",
                    "Application=Zel View\r\n");
    ASSERT_HR(S_OK, Save("C:\\Users\\Jane Doe\\temp\\my markup (2).xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42 C:\\Users\\v\\secret.docx secret.docx",
                                  "C:\\Users\\Jane Doe\\vault\\bracket.dwg", "my markup (2).xml", "Zel View"}))
        << CommandLines();
}

TEST_F(SaveRoad, InterpreterCharactersArriveAsWritten) {
    StartWithValues("ServerPath=D:\\a;b,c=d\\gear.dwg\r\nsession_id=42\r\n", "Application=view\r\n");
    ASSERT_HR(S_OK, Save("C:\\tmp\\a&calc|b>c<d^e.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\a;b,c=d\\gear.dwg", "a&calc|b>c<d^e.xml", "view"}))
        << CommandLines();
}

TEST_F(SaveRoad, AQuotedItemKeepsItsTrailingBackslash) {
    StartWithValues("ServerPath=D:\\Jane Doe\\\r\nsession_id=42\r\n", "Application=view\r\n");
    ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\Jane Doe\\", "x.xml", "view"})) << CommandLines();
}

TEST_F(SaveRoad, ATabStaysInsideItsItem) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n", "Application=Zel\tView\r\n");
    ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.xml", "x.xml", "Zel\tView"})) << CommandLines();
}

TEST_F(SaveRoadRefusal, WhatQuotingCannotProtectIsRefusedAndTold) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n", "Application=view\r\n");
    for (const char* path : {"C:\\tmp\\%PATH%.xml", "C:\\tmp\\a\"b.xml", "C:\\tmp\\!x!.xml"})
        ExpectRefusal(path, IDS_SAVE_UNSAFE_FILE_NAME);
    ExpectNothingLaunched();
}

TEST_F(SaveRoadRefusal, InstructionsInDMAgentAreRefusedAndTold) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n",
                    "DMAgent=" + RecorderPath() + " & calc\r\nApplication=view\r\n");
    ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_UNSAFE_LAUNCH_VALUE);
    ExpectNothingLaunched();
}

// Without a program, start would run whatever is called MarkupSave in the
// current folder or on the path: one is planted in the current folder.
TEST_F(SaveRoadRefusal, AnEmptyDMAgentRunsNothing) {
    const std::filesystem::path planted = std::filesystem::current_path() / "MarkupSave.exe";
    std::error_code copyError;
    std::filesystem::copy_file(RecorderPath(), planted, std::filesystem::copy_options::overwrite_existing, copyError);
    StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n", "DMAgent=\r\nApplication=view\r\n");
    ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_NO_COMMAND);
    ExpectNothingLaunched();
    std::error_code ignored;
    std::filesystem::remove(planted, ignored);
}

// The runtime takes a run of blanks as one: only a quoted empty item keeps
// its place through the interpreter's start.
TEST_F(SaveRoad, EmptyItemsKeepTheirPlaces) {
    StartWithValues("ServerPath=D:\\srv\\gear.xml\r\n", "");
    ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "", "D:\\srv\\gear.xml", "x.xml", ""})) << CommandLines();
}

// A markup file the viewer has written, beside the server file.
class SaveRoadSpelling : public DllSaveRefusal {
protected:
    void StartWithMarkup(const char* access) {
        m_markup = m_dir / "bracket_review.xml";
        std::ofstream(m_markup, std::ios::binary) << "<markup/>";
        StartWithValues("ServerPath=" + (m_dir / "bracket.dwg").string() + "\r\nsession_id=42\r\n",
                        "NumMarkups=1\r\nMarkup0=" + m_markup.string() + "\r\nMarkupAccess0=" + access +
                            "\r\nApplication=view\r\n");
    }

    // Windows' own short (8.3) spelling of the markup file's path.
    std::string ShortPath() const {
        char path[MAX_PATH] = {};
        const DWORD length = GetShortPathNameA(m_markup.string().c_str(), path, sizeof path);
        return std::string(path, length < sizeof path ? length : 0);
    }

    std::filesystem::path m_markup;
};

TEST_F(SaveRoadSpelling, EverySpellingOfAReadOnlyMarkupIsRefused) {
    StartWithMarkup("read");
    const std::string shortPath = ShortPath();
    ASSERT_NE(shortPath.find("~"), std::string::npos) << shortPath;
    const std::string path = m_markup.string();
    for (const std::string& spelling : {path, shortPath, path + ".", path + " ", path + ". .", shortPath + "."})
        ExpectRefusal(spelling, IDS_NO_MARKUP_PERMISSION);
    for (const std::string& spelling : {path + "::$DATA", shortPath + ":x"})
        ExpectRefusal(spelling, IDS_SAVE_MARKUP_STREAM);
    ExpectNothingLaunched();
}

TEST_F(SaveRoadSpelling, AShortNameReachesThePdmAsTheLongName) {
    StartWithMarkup("write");
    ASSERT_HR(S_OK, Save(ShortPath() + "."));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", (m_dir / "bracket.dwg").string(), "bracket_review.xml", "view"}))
        << CommandLines();
}

}  // namespace

#endif  // _WIN32
