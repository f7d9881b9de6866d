// The PDM front end's markup save command line:
//   <program> [<its words>] MarkupSave <session id> <server file> <markup file name> <application>
// DMAgent names the program and may carry words of its own. It is read once
// (ReadSaveProgram) into the program and its words, and that one reading is
// what the machine policy checks and what the line is built from: the agent
// quotes the program where it needs quotes (a path with blanks), and the
// launch then gives start an empty window title before it. Each of the four
// later items must reach the program as one argument: one that the command
// interpreter or the program's argument rules would split or read as an
// instruction is enclosed in double quotes; any other goes in byte for byte,
// so that the lines front ends rely on stay what they were.
#pragma once

#include <string>

// DMAgent read into the program to run and its own words. Blanks and tabs
// around the whole value and between the program and its words do not count.
//  - "C:\Program Files\ZelPDM\pdm-save.exe" --vault: the text inside a
//    leading pair of double quotes is the program.
//  - C:\Program Files\ZelPDM\pdm-save.exe: where the whole value names an
//    existing file, that file is the program (the viewer's reader drops the
//    quotes around a whole value, as Windows' profile functions do).
//  - C:\PDM\pdm-save.exe --vault: else the first word is the program.
// Never a prefix of a path: where the first word is the program but a longer
// part of the value that ends before a blank names something that exists
// (C:\Program for C:\Program Files\...), the value is a path that is not
// there, and the reading is not well formed.
struct SaveProgram {
    std::string program;
    std::string words;
    bool quoted = false;
    // False for an opening quote without its closing one, or a closing quote
    // that something other than a blank follows.
    bool wellFormed = true;
    // The first word would be a prefix of a path that is not there.
    bool prefixOfPath = false;
};
SaveProgram ReadSaveProgram(const std::string& dmAgent);

// The program as it goes into the line: in double quotes when it was written
// in them or needs them.
std::string ProgramInLine(const SaveProgram& program);

struct SaveCommandItems {
    SaveProgram program;  // DMAgent, read once
    std::string sessionId;
    std::string serverPath;
    std::string markupFileName;
    std::string application;
};

// Why a save command is not run.
enum class SaveCommandFault {
    kNone,
    kNoProgram,          // DMAgent names no program
    kProgramNotFound,    // DMAgent names a path with blanks that is not there
    kUnsafeLaunchValue,  // DMAgent or a launch file item holds what cannot be passed on safely
    kUnsafeFileName,     // so does the markup's file name
    kTooLong,            // the line is longer than the interpreter takes
};

struct SaveCommand {
    SaveCommandFault fault = SaveCommandFault::kNone;
    std::string line;  // empty unless fault is kNone
};

SaveCommand BuildSaveCommand(const SaveCommandItems& items);
// The line BuildSaveCommand makes of items, as the log shows it: the session
// identifier replaced by maskedSessionId.
std::string CommandLineForLog(const SaveCommandItems& items, const std::string& maskedSessionId);

// Blanks and tabs removed at both ends.
std::string TrimBlanks(const std::string& text);

// One item as a single argument by the C runtime's rules: enclosed in double
// quotes, with the backslashes before the closing quote doubled, when it
// holds a blank, a tab or one of & | < > ^ ( ) , ; =; "" when it is empty;
// else unchanged.
std::string QuoteItem(const std::string& item);

inline constexpr char kMarkupSaveWord[] = "MarkupSave";
// The interpreter's line limit less what the launch puts in front.
inline constexpr size_t kMaxCommandLength = 8191 - 16;
