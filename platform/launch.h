// Running the PDM front end's command and telling the user something.
#pragma once

#include <string>

// Starts the command detached; 0 when it was started, -1 when not.
int LaunchCommand(const std::string& command);

// Shows text under the caption taken from NUV_REG_ROOT and waits for OK.
int ShowMessage(const std::string& text);

// The caption rule: the part of NUV_REG_ROOT (or "ZelView") after its last
// backslash.
std::string MessageCaption();
