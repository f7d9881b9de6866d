// Wide texts of the viewer's settings operations.
#pragma once

#include "platform/com/com.h"

#include <string>

namespace nuvsim {

using WideText = std::basic_string<WCHAR>;

// Bytes in the system's ANSI code page (UTF-8 natively, where a byte that
// starts no valid sequence reads as U+FFFD) to wide text.
WideText AnsiToWideText(const std::string& text);
// UTF-16 code units, stopping at the first zero.
inline WideText WideFromUnits(const WCHAR* text) { return text ? WideText(text) : WideText(); }

}  // namespace nuvsim
