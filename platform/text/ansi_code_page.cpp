#include "platform/text/ansi_code_page.h"

#include "platform/text/ascii_fold.h"

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
    for (; at + sizeof bytes <= text.size(); at += sizeof bytes) {
        uint64_t word;
        std::memcpy(&word, text.data() + at, sizeof word);
        bytes |= word;
    }
    for (; at < text.size(); ++at) bytes |= static_cast<unsigned char>(text[at]);
    return (bytes & kHighBits) == 0;
}

}  // namespace

size_t FindLastCharacterOf(std::string_view text, std::string_view chars) {
    // Character boundaries are only known from the start, unless every
    // character is a single byte.
    if (IsPlainAscii(text)) {
        // From the end, each byte against the few characters looked for.
        for (size_t at = text.size(); at-- > 0;) {
            for (const char c : chars) {
                if (text[at] == c) return at;
            }
        }
        return std::string_view::npos;
    }
    size_t found = std::string_view::npos;
    for (size_t at = 0; at < text.size();) {
        const size_t length = CharacterLength(text, at);
        if (length == 1 && chars.find(text[at]) != std::string_view::npos) found = at;
        at += length;
    }
    return found;
}
