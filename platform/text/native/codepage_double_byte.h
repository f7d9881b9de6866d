// The native build's conversion while a double-byte code page is chosen. It
// has no tables of the real code pages; instead it keeps every byte: a
// double-byte character becomes the wide unit of its two bytes' value, any
// other byte the unit of its own value, and back. Every ANSI text therefore
// comes back from the viewer's wide interfaces as it went in.
#pragma once

#include "platform/text/codepage.h"

WideString DoubleByteToWide(const std::string& text);
// Reads at most maxChars units, stopping at the first zero; a unit that is
// no character of the code page becomes "?".
std::string WideToDoubleByte(const WCHAR* text, size_t maxChars);
