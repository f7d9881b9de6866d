// The save command line as the agent builds it: which items are quoted and
// how, which are refused, and that every line that needs no quoting comes out
// byte for byte as before.
#include "pdm/save_command.h"

#include "platform/system/launch.h"

#include "tests/support/code_page_for_test.h"

#include <gtest/gtest.h>

namespace {

SaveCommandItems Items(const std::string& program, const std::string& session, const std::string& server,
                       const std::string& fileName, const std::string& application) {
    return {ReadSaveProgram(program), session, server, fileName, application};
}

std::string LineOf(const SaveCommandItems& items) {
    const SaveCommand command = BuildSaveCommand(items);
    EXPECT_EQ(command.fault, SaveCommandFault::kNone) << command.line;
    return command.line;
}

SaveCommandFault FaultOf(const SaveCommandItems& items) { return BuildSaveCommand(items).fault; }

TEST(SaveCommandLine, JoinsItsItemsWithSingleBlanks) {
    EXPECT_EQ("vault.exe MarkupSave 42 D:\\srv\\gear.xml gear_1.xml view",
              LineOf(Items("vault.exe", "42", "D:\\srv\\gear.xml", "gear_1.xml", "view")));
    // Empty items are quoted: the runtime takes a run of blanks as one, and
    // a bare empty item would move every later one up a place.
    EXPECT_EQ("p MarkupSave \"\" \"\" \"\" \"\"", LineOf(Items("p", "", "", "", "")));
    EXPECT_EQ("p MarkupSave 1 \"\" 3 4", LineOf(Items("p", "1", "", "3", "4")));
    // DMAgent may carry arguments of its own; it is never quoted, or start
    // would take it for a window title.
    EXPECT_EQ("vault.exe /pdm=main MarkupSave 42 a b \"\"", LineOf(Items("vault.exe /pdm=main", "42", "a", "b", "")));
}

TEST(SaveCommandLine, ItemsThatWouldSplitOrInstructAreQuoted) {
    EXPECT_EQ("p MarkupSave \"42 C:\\Users\\v\\secret.docx secret.docx\" \"C:\\Users\\Jane Doe\\vault\\bracket.dwg\" "
              "\"my markup.xml\" \"Zel View\"",
              LineOf(Items("p", "42 C:\\Users\\v\\secret.docx secret.docx", "C:\\Users\\Jane Doe\\vault\\bracket.dwg",
                           "my markup.xml", "Zel View")));
    for (char c : std::string(" \t&|<>^(),;=")) {
        const std::string item = std::string("a") + c + "b";
        EXPECT_EQ("p MarkupSave 1 2 \"" + item + "\" 4", LineOf(Items("p", "1", "2", item, "4"))) << c;
    }
    // Characters the interpreter reads only in other places stay unquoted.
    EXPECT_EQ("p MarkupSave a@b [x] {y}.xml 'z'+~`", LineOf(Items("p", "a@b", "[x]", "{y}.xml", "'z'+~`")));
}

TEST(SaveCommandLine, BackslashesBeforeTheClosingQuoteAreDoubled) {
    EXPECT_EQ("\"C:\\Jane Doe\\\\\"", QuoteItem("C:\\Jane Doe\\"));
    EXPECT_EQ("\"C:\\Jane Doe\\\\\\\\\"", QuoteItem("C:\\Jane Doe\\\\"));
    // Backslashes elsewhere are characters as they stand.
    EXPECT_EQ("\"C:\\\\server\\a b\\c\"", QuoteItem("C:\\\\server\\a b\\c"));
    EXPECT_EQ("C:\\plain\\", QuoteItem("C:\\plain\\"));
    EXPECT_EQ("\"\"", QuoteItem(""));
}

TEST(SaveCommandLine, RefusesWhatQuotingCannotProtect) {
    std::string never = "\"%!\r\n";
    for (char c = 1; c < 0x20; ++c)
        if (c != '\t') never += c;
    for (char c : never) {
        const std::string bad = std::string("a") + c + "b";
        EXPECT_EQ(FaultOf(Items("p" + bad, "1", "2", "3", "4")), SaveCommandFault::kUnsafeLaunchValue) << int(c);
        EXPECT_EQ(FaultOf(Items("p", bad, "2", "3", "4")), SaveCommandFault::kUnsafeLaunchValue) << int(c);
        EXPECT_EQ(FaultOf(Items("p", "1", bad, "3", "4")), SaveCommandFault::kUnsafeLaunchValue) << int(c);
        EXPECT_EQ(FaultOf(Items("p", "1", "2", bad, "4")), SaveCommandFault::kUnsafeFileName) << int(c);
        EXPECT_EQ(FaultOf(Items("p", "1", "2", "3", bad)), SaveCommandFault::kUnsafeLaunchValue) << int(c);
    }
    // DMAgent goes in unquoted: the interpreter's instructions stay refused
    // there, while its own arguments may hold what the other items quote.
    for (char c : std::string("&|<>^"))
        EXPECT_EQ(FaultOf(Items(std::string("vault.exe") + c + "calc", "1", "2", "3", "4")),
                  SaveCommandFault::kUnsafeLaunchValue)
            << c;
    EXPECT_EQ(FaultOf(Items("vault.exe\t/x=(1),2;3", "1", "2", "3", "4")), SaveCommandFault::kNone);
}

TEST(SaveCommandLine, AProgramIsNeeded) {
    for (const char* program : {"", " ", "\t", "  \t "})
        EXPECT_EQ(FaultOf(Items(program, "42", "D:\\srv\\gear.xml", "gear_1.xml", "view")), SaveCommandFault::kNoProgram)
            << "[" << program << "]";
    // Blanks around the program do not count.
    EXPECT_EQ("vault.exe MarkupSave 1 2 3 4", LineOf(Items("  vault.exe", "1", "2", "3", "4")));
    EXPECT_EQ("vault.exe", ReadSaveProgram("  vault.exe /x MarkupSave").program);
    EXPECT_EQ("C:\\PDM\\save.exe", ReadSaveProgram("C:\\PDM\\save.exe\t/x").program);
    EXPECT_EQ("", ReadSaveProgram(" \t ").program);
}

// A program in a folder with a blank is named in quotes and goes in quoted.
// A quote anywhere else is still refused.
TEST(SaveCommandLine, AQuotedProgramGoesInQuoted) {
    const std::string program = "\"C:\\Program Files\\ZelPDM\\pdm-save.exe\"";
    EXPECT_EQ(program + " MarkupSave 42 a b c", LineOf(Items(program, "42", "a", "b", "c")));
    EXPECT_EQ(program + " /x MarkupSave 42 a b c", LineOf(Items(" " + program + " /x", "42", "a", "b", "c")));
    // Inside the quotes the interpreter's instructions are characters of the path.
    EXPECT_EQ(FaultOf(Items("\"C:\\R&D (x86)\\v.exe\"", "1", "2", "3", "4")), SaveCommandFault::kNone);
    for (const char* dmAgent : {"\"C:\\v.exe", "\"C:\\v.exe\"/x", "\"C:\\v.exe\"&calc", "\"C:\\v.exe\" & calc",
                                "\"C:\\v.exe\" \"/x\"", "C:\\v.exe \"/x\"", "\"C:\\v%PATH%.exe\"", "\"C:\\v!x!.exe\"",
                                "\"C:\\v\n.exe\""})
        EXPECT_EQ(FaultOf(Items(dmAgent, "1", "2", "3", "4")), SaveCommandFault::kUnsafeLaunchValue) << dmAgent;
    EXPECT_EQ(FaultOf(Items("\"\"", "1", "2", "3", "4")), SaveCommandFault::kNoProgram);
    EXPECT_EQ(FaultOf(Items(" \"\" /x", "1", "2", "3", "4")), SaveCommandFault::kNoProgram);
}

// The interpreter takes 8191 characters on a line; the launch puts 16 in
// front of the command ("chaff /C start " and room for the terminator).
constexpr size_t kLongestCommand = 8191 - 16;

TEST(SaveCommandLine, TheLimitCountsTheQuotes) {
    const std::string prefix = "p MarkupSave 1 2 ";
    const std::string fits(kLongestCommand - prefix.size() - 2, 'a');
    EXPECT_EQ(prefix + fits + " 4", LineOf(Items("p", "1", "2", fits, "4")));
    EXPECT_EQ(FaultOf(Items("p", "1", "2", fits + "a", "4")), SaveCommandFault::kTooLong);
    const std::string blank = std::string(fits.size() - 3, 'a') + " ";
    EXPECT_EQ(kLongestCommand, LineOf(Items("p", "1", "2", blank, "4")).size());
    EXPECT_EQ(FaultOf(Items("p", "1", "2", blank + "a", "4")), SaveCommandFault::kTooLong);
    // A quoted program has the empty window title put before it.
    const std::string quoted = "\"p\"";
    const std::string title(kEmptyWindowTitle);
    const std::string quotedFits(kMaxCommandLength - title.size() - prefix.size() - 2 - 2, 'a');
    EXPECT_EQ(kMaxCommandLength - title.size(), LineOf(Items(quoted, "1", "2", quotedFits, "4")).size());
    EXPECT_EQ(FaultOf(Items(quoted, "1", "2", quotedFits + "a", "4")), SaveCommandFault::kTooLong);
}

#ifndef _WIN32

// In a double-byte code page the second byte of a character may have the
// value of "\", "^" or "|": it is part of the character, not one of those.
TEST(SaveCommandLine, DoubleByteCharactersAreCharactersNotTheirBytes) {
    ScopedAnsiCodePage japanese(932);
    const std::string so = "\x83\x5C";    // its second byte is "\"
    const std::string po = "\x83\x7C";    // its second byte is "|"
    const std::string shi = "\x83\x5E";   // its second byte is "^"
    EXPECT_EQ("p MarkupSave 1 2 " + so + po + shi + ".xml 4", LineOf(Items("p", "1", "2", so + po + shi + ".xml", "4")));
    EXPECT_EQ(FaultOf(Items("vault" + po + ".exe", "1", "2", "3", "4")), SaveCommandFault::kNone);
    // A quoted item that ends in such a character needs no doubling.
    EXPECT_EQ("\"D:\\My Vault\\" + so + "\"", QuoteItem("D:\\My Vault\\" + so));
    EXPECT_EQ("\"D:\\My Vault\\" + so + "\\\\\"", QuoteItem("D:\\My Vault\\" + so + "\\"));
    // A lead byte without its second byte ends its character differently for
    // the interpreter and the program: refused.
    EXPECT_EQ(FaultOf(Items("p", "1", "2", "a\x83", "4")), SaveCommandFault::kUnsafeFileName);
    EXPECT_EQ(FaultOf(Items("p", "1", "2", "a\x83\"", "4")), SaveCommandFault::kUnsafeFileName);
    EXPECT_EQ(FaultOf(Items("p", "a\x83 b", "2", "3", "4")), SaveCommandFault::kUnsafeLaunchValue);
    EXPECT_EQ(FaultOf(Items("\"C:\\v\x83\" /x", "1", "2", "3", "4")), SaveCommandFault::kUnsafeLaunchValue);
    EXPECT_EQ(FaultOf(Items("\"C:\\My " + so + "\\v.exe\" /x", "1", "2", "3", "4")), SaveCommandFault::kNone);
}

TEST(SaveCommandLine, InTheKoreanCodePageNoCharacterEndsInAPunctuationByte) {
    ScopedAnsiCodePage korean(949);
    // 0x5C, 0x5E and 0x7C never stand second there: after a lead byte they
    // are characters of their own, and the lead byte stands alone.
    EXPECT_EQ(FaultOf(Items("p", "1", "2", "\xB0\xA1.xml", "4")), SaveCommandFault::kNone);
    EXPECT_EQ(FaultOf(Items("p", "1", "2", "\xB0\x5C.xml", "4")), SaveCommandFault::kUnsafeFileName);
    EXPECT_EQ(FaultOf(Items("vault\xB0|calc", "1", "2", "3", "4")), SaveCommandFault::kUnsafeLaunchValue);
}

#endif

}  // namespace
