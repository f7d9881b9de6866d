// Conversion between the agent's ANSI texts and the viewer's wide texts, in
// the system's ANSI code page (UTF-8 in the native build).
#pragma once

#include "platform/com/com.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

using WideString = std::basic_string<WCHAR>;

WideString AnsiToWide(const std::string& text);
// The build's own conversion, for a text of units units (at most maxChars)
// that AsciiFromWide did not take.
std::string WideToCodePage(const WCHAR* text, size_t maxChars, size_t units);

// The text of at most maxChars units before the first zero into ascii, when
// it is all ASCII: every ANSI code page writes that as the same bytes, with
// no conversion to ask for. Narrowed as it is measured, in one pass: the
// viewer's texts are read by the thousand. False, ascii untouched, for any
// other text and for a text longer than a path. Either way units is the
// text's length.
inline bool AsciiFromWide(const WCHAR* text, size_t maxChars, size_t& units, std::string& ascii) {
    // An empty value is what a missing key reads as: many of them.
    if (maxChars == 0 || text[0] == 0) {
        units = 0;
        ascii.clear();
        return true;
    }
    constexpr size_t kMaxNarrowed = 1024;
    char narrowed[kMaxNarrowed];
    const size_t limit = maxChars < kMaxNarrowed ? maxChars : kMaxNarrowed;
    WCHAR above = 0;
    units = 0;
    // Eight units at a time while none ends the text or lies above ASCII;
    // the unit by unit loop below takes the words where one does.
    static_assert(sizeof(WCHAR) == 2);
    constexpr uint64_t kEveryUnit = 0x0001000100010001ull;
    constexpr uint64_t kAboveAscii = 0xFF80FF80FF80FF80ull;
    // Each unit's low byte, side by side (the units are read little-endian).
    const auto lowBytes = [](uint64_t word) {
        word = (word | (word >> 8)) & 0x0000FFFF0000FFFFull;
        return (word | (word >> 16)) & 0xFFFFFFFFull;
    };
    for (; units + 8 <= limit; units += 8) {
        uint64_t first;
        uint64_t second;
        std::memcpy(&first, text + units, sizeof first);
        std::memcpy(&second, text + units + 4, sizeof second);
        const uint64_t zeros = ((first - kEveryUnit) & ~first) | ((second - kEveryUnit) & ~second);
        if (((zeros & (kEveryUnit << 15)) | ((first | second) & kAboveAscii)) != 0) break;
        const uint64_t bytes = lowBytes(first) | (lowBytes(second) << 32);
        std::memcpy(narrowed + units, &bytes, sizeof bytes);
    }
    // The end within the next four units: the units before it taken at once.
    if (units + 4 <= limit) {
        uint64_t word;
        std::memcpy(&word, text + units, sizeof word);
        // The lowest flag marks the first zero unit; flags above it may be
        // false, and those units are not taken.
        const uint64_t zeros = (word - kEveryUnit) & ~word & (kEveryUnit << 15);
        const uint64_t before = zeros != 0 ? ((zeros & (0 - zeros)) >> 15) - 1 : ~uint64_t{0};
        if ((word & before & kAboveAscii) == 0) {
            const auto bytes = static_cast<uint32_t>(lowBytes(word & before));
            std::memcpy(narrowed + units, &bytes, sizeof bytes);
            if (zeros == 0) {
                units += 4;
            } else {
                units += static_cast<size_t>(std::countr_zero(zeros)) / 16;
                ascii.assign(narrowed, units);
                return true;
            }
        }
    }
    for (; units < limit && text[units] != 0; ++units) {
        above |= text[units];
        narrowed[units] = static_cast<char>(text[units]);
    }
    if (above < 0x80 && (units < kMaxNarrowed || units == maxChars)) {
        ascii.assign(narrowed, units);
        return true;
    }
    while (units < maxChars && text[units] != 0) ++units;
    return false;
}

// Reads at most maxChars units, stopping at the first zero, into ansi;
// units takes the number of units before it. Most texts the viewer hands
// over are plain ASCII, the same in every code page; only the others go to
// the build's conversion.
inline void WideToAnsi(const WCHAR* text, size_t maxChars, size_t& units, std::string& ansi) {
    units = 0;
    if (text == nullptr) ansi.clear();
    else if (!AsciiFromWide(text, maxChars, units, ansi)) ansi = WideToCodePage(text, maxChars, units);
}

// The same as a new text; unitsRead, when given, takes the units.
inline std::string WideToAnsi(const WCHAR* text, size_t maxChars, size_t* unitsRead = nullptr) {
    std::string ansi;
    size_t units = 0;
    WideToAnsi(text, maxChars, units, ansi);
    if (unitsRead) *unitsRead = units;
    return ansi;
}

// The text in the ANSI code page when every character has its own form
// there; nothing when the conversion would replace one or bend it to a
// look-alike (best fit), since the result would name something else.
inline std::optional<std::string> WideToAnsiExact(const WideString& text) {
    std::string ansi = WideToAnsi(text.c_str(), text.size());
    if (AnsiToWide(ansi) != text) return std::nullopt;
    return ansi;
}
