// Running the PDM front end's command and telling the user something.
#pragma once

#include <string>

// Starts the command detached; 0 when it was started, -1 when not. The
// command's first word is the program, also when it is enclosed in double
// quotes. A bare program name is never looked for in the current folder.
int LaunchCommand(const std::string& command);

// start takes a leading quoted text for the window title: a command whose
// program is quoted gets this empty title in front of it.
inline constexpr char kEmptyWindowTitle[] = "\"\" ";

// Shows text under the caption taken from NUV_REG_ROOT and waits for OK.
int ShowMessage(const std::string& text);

// The caption rule: the part of NUV_REG_ROOT (or "ZelView") after its last
// backslash.
std::string MessageCaption();

// A stand-in for the two calls above, for programs that drive the agent with
// hostile input and must neither start commands nor show messages: while a
// hook is set, the call hands it the text and returns what it returns.
using TextHook = int (*)(const std::string& text);
void SetLaunchHook(TextHook hook);
void SetMessageHook(TextHook hook);
TextHook CurrentLaunchHook();
TextHook CurrentMessageHook();
