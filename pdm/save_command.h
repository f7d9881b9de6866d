// The PDM front end's markup save command line:
//   <DMAgent> MarkupSave <session id> <server file> <markup file name> <application>
// DMAgent names the program and may carry arguments of its own, so it goes
// into the line as it stands; the program may be enclosed in double quotes
// (a path with blanks), and the launch then gives start an empty window
// title before it. Each of the four later items must reach the
// program as one argument: one that the command interpreter or the program's
// argument rules would split or read as an instruction is enclosed in double
// quotes; any other goes in byte for byte, so that the lines front ends rely
// on stay what they were.
#pragma once

#include <string>

struct SaveCommandItems {
    std::string program;  // DMAgent
    std::string sessionId;
    std::string serverPath;
    std::string markupFileName;
    std::string application;
};

// Why a save command is not run.
enum class SaveCommandFault {
    kNone,
    kNoProgram,          // DMAgent names no program
    kUnsafeLaunchValue,  // DMAgent or a launch file item holds what cannot be passed on safely
    kUnsafeFileName,     // so does the markup's file name
    kTooLong,            // the line is longer than the interpreter takes
};

struct SaveCommand {
    SaveCommandFault fault = SaveCommandFault::kNone;
    std::string line;  // empty unless fault is kNone
};

SaveCommand BuildSaveCommand(const SaveCommandItems& items);

// A command line that BuildSaveCommand made of items, as the log shows it:
// the session identifier replaced by maskedSessionId.
std::string CommandLineForLog(const SaveCommandItems& items, const std::string& line,
                              const std::string& maskedSessionId);

// DMAgent taken apart as start takes it: the program is the text inside a
// leading pair of double quotes, or else the first word; its own words follow
// it. Blanks and tabs around the whole value and between the program and its
// words do not count.
struct DMAgentParts {
    std::string program;
    std::string words;
    bool quoted = false;
    // False for an opening quote without its closing one, or a closing quote
    // that something other than a blank follows.
    bool wellFormed = true;
};
DMAgentParts SplitDMAgent(const std::string& dmAgent);

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
