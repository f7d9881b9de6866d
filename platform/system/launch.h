// Running the PDM front end's command.
#pragma once

#include "platform/system/message.h"

#include <string>

// Starts the command detached; 0 when it was started, -1 when not. The
// command's first word is the program, also when it is enclosed in double
// quotes. A bare program name is never looked for in the current folder.
int LaunchCommand(const std::string& command);

// start takes a leading quoted text for the window title: a command whose
// program is quoted gets this empty title in front of it.
inline constexpr char kEmptyWindowTitle[] = "\"\" ";

// The launch's stand-in for hostile input (TextHook, message.h).
void SetLaunchHook(TextHook hook);
TextHook CurrentLaunchHook();
