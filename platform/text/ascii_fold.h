// The one case rule of the agent's own text comparisons, the one the
// runtime's multibyte comparisons apply to single bytes: letters A-Z fold to
// a-z; every other byte stays as it is.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

constexpr unsigned char AsciiFold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// The same rules eight bytes at a time, for the scans that run over every
// name and path of a large view list. A word holds eight bytes of text; below
// 0x80 a byte's sums with the constants stay within it.
inline constexpr uint64_t kEveryByte = 0x0101010101010101ull;
inline constexpr uint64_t kHighBits = 0x8080808080808080ull;
inline constexpr uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Full;

// The eight bytes of text from at on, as one word.
inline uint64_t WordAt(std::string_view text, size_t at) {
    uint64_t word;
    std::memcpy(&word, text.data() + at, sizeof word);
    return word;
}

// Every byte plain ASCII, and none zero.
constexpr bool IsPlainAsciiWord(uint64_t word) {
    return (word & kHighBits) == 0 && ((word + kLowBits) & kHighBits) == kHighBits;
}

// The high bit of each byte that is c, in a plain ASCII word.
constexpr uint64_t BytesEqual(uint64_t word, char c) {
    return ~((word ^ (static_cast<unsigned char>(c) * kEveryByte)) + kLowBits) & kHighBits;
}

// A plain ASCII word as paths and names compare: A-Z folded, "/" as "\".
constexpr uint64_t FoldedAsciiWord(uint64_t word) {
    const uint64_t fromA = (word + (0x80 - 'A') * kEveryByte) & kHighBits;
    const uint64_t pastZ = (word + (0x80 - 'Z' - 1) * kEveryByte) & kHighBits;
    word |= (fromA & ~pastZ) >> 2;
    return word ^ ((BytesEqual(word, '/') >> 7) * ('/' ^ '\\'));
}
