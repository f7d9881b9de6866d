// Running the PDM front end's command.
#pragma once

#include <string>

// The agent's launch of a save command: StartCommand, defined apart from the
// platform (platform/system/effects/) for the same reason as ShowMessage.
int LaunchCommand(const std::string& command);

// Starts the command detached; 0 when it was started, -1 when not. The
// command's first word is the program, also when it is enclosed in double
// quotes. A bare program name is never looked for in the current folder.
int StartCommand(const std::string& command);

// start takes a leading quoted text for the window title: a command whose
// program is quoted gets this empty title in front of it.
inline constexpr char kEmptyWindowTitle[] = "\"\" ";
