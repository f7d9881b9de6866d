#include "platform/text/ansi_code_page.h"

#include "platform/text/ascii_fold.h"

#include <bit>
#include <cstdint>
#include <cstring>

bool IsWellFormedAnsi(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = CharacterLength(text, at);
        if (length == 1 && IsLeadByte(static_cast<unsigned char>(text[at]))) return false;
        at += length;
    }
    return true;
}

size_t FindFirstCharacterOf(std::string_view text, std::string_view chars) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = CharacterLength(text, at);
        if (length == 1 && chars.find(text[at]) != std::string_view::npos) return at;
        at += length;
    }
    return std::string_view::npos;
}

namespace {

// Eight bytes at a time: a path's file name is looked for in every markup's
// path when a save first looks its markup up.
bool IsPlainAscii(std::string_view text) {
    uint64_t bytes = 0;
    size_t at = 0;
    for (; at + sizeof bytes <= text.size(); at += sizeof bytes) bytes |= WordAt(text, at);
    // The last bytes as the last eight, some of them again.
    if (at < text.size() && text.size() >= sizeof bytes) bytes |= WordAt(text, text.size() - sizeof bytes);
    else for (; at < text.size(); ++at) bytes |= static_cast<unsigned char>(text[at]);
    return (bytes & kHighBits) == 0;
}

// The last of chars in a plain ASCII text, eight bytes at a time from the
// end: the file name of every markup's path is found so.
size_t FindLastAsciiOf(std::string_view text, std::string_view chars) {
    size_t at = text.size();
    for (; at >= sizeof(uint64_t); at -= sizeof(uint64_t)) {
        const uint64_t word = WordAt(text, at - sizeof(uint64_t));
        uint64_t found = 0;
        // A character above ASCII is in no such text.
        for (const char c : chars) found |= static_cast<unsigned char>(c) < kFirstNonAsciiByte ? BytesEqual(word, c) : 0;
        // The highest byte found is the last (the words are read little-endian).
        if (found != 0) return at - 1 - static_cast<size_t>(std::countl_zero(found)) / 8;
    }
    while (at-- > 0) {
        for (const char c : chars) {
            if (text[at] == c) return at;
        }
    }
    return std::string_view::npos;
}

}  // namespace

size_t FindLastCharacterOf(std::string_view text, std::string_view chars) {
    // Character boundaries are only known from the start, unless every
    // character is a single byte.
    if (IsPlainAscii(text)) return FindLastAsciiOf(text, chars);
    size_t found = std::string_view::npos;
    for (size_t at = 0; at < text.size();) {
        const size_t length = CharacterLength(text, at);
        if (length == 1 && chars.find(text[at]) != std::string_view::npos) found = at;
        at += length;
    }
    return found;
}
