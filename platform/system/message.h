// Telling the user something: a message box under the viewer's caption.
#pragma once

#include <string>

// The agent's message to the user: text under the caption taken from
// NUV_REG_ROOT, waiting for OK. Defined apart from the platform
// (platform/system/effects/), so that a test program links a stand-in of its
// own in its place and the product has no switch that silences it.
int ShowMessage(const std::string& text);

// The system's message box (natively a line on standard error): caption
// and text, waiting for OK.
int ShowMessageBox(const std::string& caption, const std::string& text);

// The caption rule: the part of NUV_REG_ROOT (or "ZelView") after its last
// backslash.
std::string MessageCaption();
