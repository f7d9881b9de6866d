// Conversion between the agent's ANSI texts and the viewer's wide texts, in
// the system's ANSI code page (UTF-8 in the native build).
#pragma once

#include "platform/com/com.h"

#include <optional>
#include <string>

using WideString = std::basic_string<WCHAR>;

WideString AnsiToWide(const std::string& text);
// Reads at most maxChars units, stopping at the first zero; unitsRead, when
// given, takes the number of units before it.
std::string WideToAnsi(const WCHAR* text, size_t maxChars, size_t* unitsRead = nullptr);

// The units WideToAnsi reads, and whether they are all ASCII: every ANSI
// code page writes those as the same bytes, with no conversion to ask for.
inline size_t WideTextUnits(const WCHAR* text, size_t maxChars, bool& ascii) {
    WCHAR above = 0;
    size_t units = 0;
    for (; units < maxChars && text[units] != 0; ++units) above |= text[units];
    ascii = above < 0x80;
    return units;
}

// The text in the ANSI code page when every character has its own form
// there; nothing when the conversion would replace one or bend it to a
// look-alike (best fit), since the result would name something else.
inline std::optional<std::string> WideToAnsiExact(const WideString& text) {
    std::string ansi = WideToAnsi(text.c_str(), text.size());
    if (AnsiToWide(ansi) != text) return std::nullopt;
    return ansi;
}
