// Conversion between the agent's ANSI texts and the viewer's wide texts, in
// the system's ANSI code page (UTF-8 in the native build).
#pragma once

#include "platform/com/com.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

using WideString = std::basic_string<WCHAR>;

WideString AnsiToWide(const std::string& text);
// Reads at most maxChars units, stopping at the first zero; unitsRead, when
// given, takes the number of units before it.
std::string WideToAnsi(const WCHAR* text, size_t maxChars, size_t* unitsRead = nullptr);

// The text of at most maxChars units before the first zero, when it is all
// ASCII: every ANSI code page writes that as the same bytes, with no
// conversion to ask for. Narrowed as it is measured, in one pass: the
// viewer's texts are read by the thousand. Nothing for any other text, and
// for a text longer than a path. Either way units is the text's length.
inline std::optional<std::string> AsciiFromWide(const WCHAR* text, size_t maxChars, size_t& units) {
    constexpr size_t kMaxNarrowed = 1024;
    char narrowed[kMaxNarrowed];
    const size_t limit = maxChars < kMaxNarrowed ? maxChars : kMaxNarrowed;
    WCHAR above = 0;
    units = 0;
    // Four units at a time while none ends the text or lies above ASCII;
    // the unit by unit loop below takes the word where one does.
    static_assert(sizeof(WCHAR) == 2);
    constexpr uint64_t kEveryUnit = 0x0001000100010001ull;
    constexpr uint64_t kAboveAscii = 0xFF80FF80FF80FF80ull;
    for (; units + 4 <= limit; units += 4) {
        uint64_t word;
        std::memcpy(&word, text + units, sizeof word);
        if (((word - kEveryUnit) & ~word & (kEveryUnit << 15)) != 0 || (word & kAboveAscii) != 0) break;
        // Each unit's low byte, side by side (the units are read little-endian).
        word = (word | (word >> 8)) & 0x0000FFFF0000FFFFull;
        const auto bytes = static_cast<uint32_t>(word | (word >> 16));
        std::memcpy(narrowed + units, &bytes, sizeof bytes);
    }
    for (; units < limit && text[units] != 0; ++units) {
        above |= text[units];
        narrowed[units] = static_cast<char>(text[units]);
    }
    if (above < 0x80 && (units < kMaxNarrowed || units == maxChars)) return std::string(narrowed, units);
    while (units < maxChars && text[units] != 0) ++units;
    return std::nullopt;
}

// The text in the ANSI code page when every character has its own form
// there; nothing when the conversion would replace one or bend it to a
// look-alike (best fit), since the result would name something else.
inline std::optional<std::string> WideToAnsiExact(const WideString& text) {
    std::string ansi = WideToAnsi(text.c_str(), text.size());
    if (AnsiToWide(ansi) != text) return std::nullopt;
    return ansi;
}
