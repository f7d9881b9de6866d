#include "platform/text/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

WideString Wide(std::initializer_list<unsigned> units) {
    WideString result;
    for (unsigned unit : units) result.push_back(static_cast<WCHAR>(unit));
    return result;
}

TEST(Codepage, PlainTextRoundTrips) {
    const std::string text = "[ServerFile]D:\\views\\gear.jt";
    const WideString wide = AnsiToWide(text);
    EXPECT_EQ(text.size(), wide.size());
    EXPECT_EQ(text, WideToAnsi(wide.c_str(), wide.size() + 1));
    EXPECT_EQ(WideString(), AnsiToWide(""));
    EXPECT_EQ("", WideToAnsi(nullptr, 10));
}

TEST(Codepage, WideTextStopsAtZeroOrTheLimit) {
    const WideString wide = Wide({'a', 'b', 'c', 0, 'd'});
    EXPECT_EQ("abc", WideToAnsi(wide.data(), wide.size()));
    EXPECT_EQ("ab", WideToAnsi(wide.data(), 2));
    EXPECT_EQ("", WideToAnsi(wide.data(), 0));
}

#ifndef _WIN32
// Texts are taken eight units, then four, at a time: the end, a unit above
// ASCII and a unit whose high bit is set (whose sum could reach the next)
// fall at every place of a word, and the limit cuts at every place.
TEST(Codepage, EveryPlaceOfTheEndAndOfOtherCharactersInAWord) {
    const WCHAR others[] = {0x80, 0xE9, 0x7FF, 0x8000, 0xFFFF, 0xD800, 0x0001};
    for (size_t length = 0; length < 20; ++length) {
        for (size_t limit = 0; limit <= length + 5; ++limit) {
            std::vector<WCHAR> text(length + 8, WCHAR('x'));
            for (size_t i = 0; i < length; ++i) text[i] = WCHAR('A' + i);
            text[length] = 0;
            size_t units = 99;
            const std::string plain = WideToAnsi(text.data(), limit, &units);
            const size_t expected = std::min(length, limit);
            ASSERT_EQ(plain, std::string("ABCDEFGHIJKLMNOPQRST").substr(0, expected)) << length << " " << limit;
            ASSERT_EQ(units, expected) << length << " " << limit;
            for (size_t at = 0; at < length; ++at) {
                for (const WCHAR other : others) {
                    std::vector<WCHAR> changed = text;
                    changed[at] = other;
                    if (at + 1 < changed.size()) changed[at + 1] = 0;  // the end right after it
                    const std::string converted = WideToAnsi(changed.data(), limit, &units);
                    ASSERT_EQ(units, std::min(at + 1, limit)) << length << " " << limit << " " << at << " " << int(other);
                    if (at < limit) {
                        ASSERT_GT(converted.size(), at) << length << " " << limit << " " << at;
                    }
                    ASSERT_EQ(converted.substr(0, std::min(at, limit)), plain.substr(0, std::min(at, limit)));
                    // Amid the text, a unit above ASCII is converted, never cut to its low byte.
                    changed = text;
                    changed[at] = other;
                    const std::string amid = WideToAnsi(changed.data(), limit, &units);
                    ASSERT_EQ(units, expected) << length << " " << limit << " " << at;
                    if (at < limit && other >= 0x80) {
                        ASSERT_GT(amid.size(), expected) << length << " " << limit << " " << at << " " << int(other);
                    }
                }
            }
        }
    }
}

TEST(Codepage, NativeTextIsUtf8) {
    EXPECT_EQ(Wide({0xE9, 0x20AC}), AnsiToWide("\xC3\xA9\xE2\x82\xAC"));
    EXPECT_EQ(Wide({0xD83D, 0xDE00}), AnsiToWide("\xF0\x9F\x98\x80"));
    const WideString pair = Wide({0xD83D, 0xDE00});
    EXPECT_EQ("\xF0\x9F\x98\x80", WideToAnsi(pair.data(), pair.size()));
}

TEST(Codepage, MalformedInputBecomesReplacementCharacters) {
    // A stray continuation byte, a cut sequence, an overlong form, an encoded
    // surrogate and a lead byte that starts no sequence.
    EXPECT_EQ(Wide({'a', 0xFFFD, 'b'}), AnsiToWide("a\x80" "b"));
    EXPECT_EQ(Wide({'a', 0xFFFD, 0xFFFD}), AnsiToWide("a\xE2\x82"));
    EXPECT_EQ(Wide({0xFFFD, 0xFFFD}), AnsiToWide("\xC0\xAF"));
    EXPECT_EQ(Wide({0xFFFD, 0xFFFD, 0xFFFD}), AnsiToWide("\xED\xA0\x80"));
    EXPECT_EQ(Wide({0xFFFD}), AnsiToWide("\xFF"));

    const WideString lone = Wide({'a', 0xD800, 'b', 0xDC00});
    EXPECT_EQ("a\xEF\xBF\xBD" "b\xEF\xBF\xBD", WideToAnsi(lone.data(), lone.size()));
    // A high surrogate whose partner lies beyond the limit stands alone.
    const WideString cut = Wide({0xD83D, 0xDE00});
    EXPECT_EQ("\xEF\xBF\xBD", WideToAnsi(cut.data(), 1));
}
#else
TEST(Codepage, WindowsTextUsesTheAnsiCodePage) {
    const std::string text = "D:\\caf\xE9";
    const WideString wide = AnsiToWide(text);
    ASSERT_EQ(text.size(), wide.size());
    EXPECT_EQ(text, WideToAnsi(wide.c_str(), wide.size()));
}
#endif

}  // namespace
