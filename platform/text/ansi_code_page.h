// Where the characters of an ANSI text begin and end. In the double-byte code
// pages (932, 936, 949, 950) a lead byte and the byte after it form one
// character, and that second byte may have the value of "\", "^" or "|":
// a scan that looks for such a character byte by byte would find one that is
// not there.
#pragma once

#include <cstddef>
#include <string_view>

// The system's ANSI code page (the native build's choice, UTF-8 by default).
unsigned AnsiCodePage();

// True when the byte opens a double-byte character in that code page.
bool IsLeadByte(unsigned char byte);
// True when the byte may stand second in a double-byte character.
bool IsTrailByte(unsigned char byte);

// Bytes of the character that begins at text[at]: 2 for a lead byte with a
// byte after it that may stand second, else 1. A lead byte without such a
// byte stands alone.
// No double-byte code page has a lead byte below it.
inline constexpr unsigned char kFirstNonAsciiByte = 0x80;

inline size_t CharacterLength(std::string_view text, size_t at) {
    if (at + 1 >= text.size()) return 1;
    // ASCII text, what most texts are, needs no look at the code page.
    const auto byte = static_cast<unsigned char>(text[at]);
    return byte >= kFirstNonAsciiByte && IsLeadByte(byte) && IsTrailByte(static_cast<unsigned char>(text[at + 1])) ? 2 : 1;
}

// True when every lead byte of the text has its second byte.
bool IsWellFormedAnsi(std::string_view text);

// Position of the first (last) character of text that is a single byte and
// one of chars; npos when there is none. Bytes inside double-byte characters
// are never found.
size_t FindFirstCharacterOf(std::string_view text, std::string_view chars);
size_t FindLastCharacterOf(std::string_view text, std::string_view chars);
