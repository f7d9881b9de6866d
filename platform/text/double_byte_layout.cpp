#include "platform/text/double_byte_layout.h"

#include <initializer_list>

namespace {

struct ByteRange {
    unsigned char first;
    unsigned char last;
};

constexpr DoubleByteLayout MakeLayout(unsigned codePage, std::initializer_list<ByteRange> leads,
                                      std::initializer_list<ByteRange> trails) {
    DoubleByteLayout layout{codePage, {}, {}};
    for (const ByteRange& range : leads)
        for (unsigned b = range.first; b <= range.last; ++b) layout.lead[b] = true;
    for (const ByteRange& range : trails)
        for (unsigned b = range.first; b <= range.last; ++b) layout.trail[b] = true;
    return layout;
}

// Japanese (Shift JIS): the single-byte katakana A1-DF lie between the lead
// ranges.
constexpr DoubleByteLayout kJapanese =
    MakeLayout(932, {{0x81, 0x9F}, {0xE0, 0xFC}}, {{0x40, 0x7E}, {0x80, 0xFC}});
// Simplified Chinese (GBK).
constexpr DoubleByteLayout kSimplifiedChinese =
    MakeLayout(936, {{0x81, 0xFE}}, {{0x40, 0x7E}, {0x80, 0xFE}});
// Korean (Unified Hangul Code): no second byte between 5B and 60 or 7B and
// 80, so "\", "^" and "|" are never part of a character here.
constexpr DoubleByteLayout kKorean =
    MakeLayout(949, {{0x81, 0xFE}}, {{0x41, 0x5A}, {0x61, 0x7A}, {0x81, 0xFE}});
// Traditional Chinese (Big5).
constexpr DoubleByteLayout kTraditionalChinese =
    MakeLayout(950, {{0x81, 0xFE}}, {{0x40, 0x7E}, {0xA1, 0xFE}});

constexpr const DoubleByteLayout* kLayouts[] = {&kJapanese, &kSimplifiedChinese, &kKorean, &kTraditionalChinese};

}  // namespace

const DoubleByteLayout* DoubleByteLayoutOf(unsigned codePage) {
    for (const DoubleByteLayout* layout : kLayouts)
        if (layout->codePage == codePage) return layout;
    return nullptr;
}
