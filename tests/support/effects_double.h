// The test programs' ShowMessage and LaunchCommand: those of the product
// (the message box, the started program) unless a test set a hook, which
// then gets the text instead and returns what the call returns. Programs
// that drive the agent with hostile input set both.
#pragma once

#include <string>

using TextHook = int (*)(const std::string& text);
void SetMessageHook(TextHook hook);
void SetLaunchHook(TextHook hook);
