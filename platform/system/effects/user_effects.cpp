// What the agent does that a user sees: a message box and a started
// program. A library of its own, which the module links; test programs link
// tests/support/effects_double.cpp in its place.
#include "platform/system/launch.h"
#include "platform/system/message.h"

int ShowMessage(const std::string& text) { return ShowMessageBox(MessageCaption(), text); }

int LaunchCommand(const std::string& command) { return StartCommand(command); }
