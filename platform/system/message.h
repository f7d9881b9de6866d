// Telling the user something: a message box under the viewer's caption.
#pragma once

#include <string>

// Shows text under the caption taken from NUV_REG_ROOT and waits for OK.
int ShowMessage(const std::string& text);

// The caption rule: the part of NUV_REG_ROOT (or "ZelView") after its last
// backslash.
std::string MessageCaption();

// A stand-in for ShowMessage and LaunchCommand (launch.h), for programs that
// drive the agent with hostile input and must neither start commands nor
// show messages: while a hook is set, the call hands it the text and returns
// what it returns.
using TextHook = int (*)(const std::string& text);
void SetMessageHook(TextHook hook);
TextHook CurrentMessageHook();
