// The PDM front end's markup save command line.
#pragma once

#include <string>
#include <vector>

// The items joined by single blanks; the second is the word MarkupSave.
// Nothing is quoted: the front ends expect blanks to split the items.
std::string JoinSaveCommand(const std::string& program, const std::string& sessionId,
                            const std::string& serverPath, const std::string& markupFileName,
                            const std::string& application);

// True when no item holds a character that the command interpreter reads as
// an instruction (&, |, <, >, ^, %, ", a line break) and the line fits the
// interpreter. The items reach it unquoted, so such a character in a file
// name or a launch-file value would otherwise run commands of its own.
bool IsSafeCommandLine(const std::string& commandLine);

inline constexpr char kMarkupSaveWord[] = "MarkupSave";
// The interpreter's line limit less what the launch puts in front.
inline constexpr size_t kMaxCommandLength = 8191 - 16;
