// Conversion between the agent's ANSI texts and the viewer's wide texts, in
// the system's ANSI code page (UTF-8 in the native build).
#pragma once

#include "platform/com/com.h"

#include <string>

using WideString = std::basic_string<WCHAR>;

WideString AnsiToWide(const std::string& text);
// Reads at most maxChars units, stopping at the first zero.
std::string WideToAnsi(const WCHAR* text, size_t maxChars);
