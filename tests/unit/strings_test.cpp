#include "platform/text/strings.h"

#include "platform/text/numbered_name.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <random>
#include <vector>

namespace {

// Counted on in place, a name reads as one written anew: through carries
// (9, 99, 999 on), steps of one to nine and beyond, jumps back, the name
// alone and numbers below zero; narrow and wide alike.
TEST(NumberedName, CountingOnGivesWhatWritingAnewGives) {
    std::mt19937 random(11);
    NumberedName<char> narrow("[ViewList]Part7");
    NumberedName<char16_t> wide(u"Markup");
    long number = NumberedName<char>::kUnnumbered;
    for (int i = 0; i < 50000; ++i) {
        const unsigned pick = random() % 40;
        if (pick == 0) number = NumberedName<char>::kUnnumbered;
        else if (pick == 1) number = -static_cast<long>(random() % 1000);
        else if (pick == 2) number = static_cast<long>(random() % 100000);
        else number = std::max(number, -1L) + 1 + static_cast<long>(random() % (pick == 3 ? 12 : 3));
        const std::string digits = number == NumberedName<char>::kUnnumbered ? "" : std::to_string(number);
        ASSERT_EQ("[ViewList]Part7" + digits, narrow.For(number)) << i;
        ASSERT_EQ(u"Markup" + std::u16string(digits.begin(), digits.end()), wide.For(number)) << i;
    }
}

TEST(ReplaceAll, SlashesBecomeBackslashes) {
    EXPECT_EQ(ReplaceAll("D:/views//gear.jt", "/", "\\"), "D:\\views\\\\gear.jt");
    EXPECT_EQ(ReplaceAll("D:\\views\\gear.jt", "/", "\\"), "D:\\views\\gear.jt");
    EXPECT_EQ(ReplaceAll("", "/", "\\"), "");
    EXPECT_EQ(ReplaceAll("/", "/", "\\"), "\\");
}

TEST(ReplaceAll, LongerAndShorterReplacements) {
    EXPECT_EQ(ReplaceAll("a&b&c", "&", "&&"), "a&&b&&c");
    EXPECT_EQ(ReplaceAll("a--b--", "--", ""), "ab");
    EXPECT_EQ(ReplaceAll("xyz", "xyz", "1"), "1");
}

TEST(ReplaceAll, ArgumentsThatWouldNeverEnd) {
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("", "", "x"), "");
    // The replacement holds the search text: each original occurrence once.
    EXPECT_EQ(ReplaceAll("a/b/", "/", "//"), "a//b//");
    EXPECT_EQ(ReplaceAll("aa", "a", "ba"), "baba");
}

TEST(ReplaceAll, OccurrencesMadeByReplacementsAreReplacedToo) {
    // Searching again from the start finds what a replacement joins up.
    EXPECT_EQ(ReplaceAll("aab", "ab", "b"), "b");
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "ba"), "bbba");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
}

TEST(ReplaceAll, SelfFeedingReplacementEnds) {
    // Each "ab" doubles the b's before it: the rescan would grow without
    // useful bound, so it falls back to one pass.
    const std::string text(40, 'a');
    EXPECT_EQ(ReplaceAll(text + "b", "ab", "bbaa"), std::string(39, 'a') + "bbaa");
}

// The plain rescan from the start, for texts where it ends quickly.
std::optional<std::string> RescanFromStart(std::string text, const std::string& search, const std::string& replacement) {
    for (int steps = 0; steps < 1000; ++steps) {
        const size_t at = text.find(search);
        if (at == std::string::npos) return text;
        text = text.substr(0, at) + replacement + text.substr(at + search.size());
    }
    return std::nullopt;
}

std::vector<std::string> WordsUpTo(size_t length) {
    std::vector<std::string> words{""};
    for (size_t begin = 0, end = 1; length-- > 0; begin = end, end = words.size()) {
        for (size_t i = begin; i < end; ++i) {
            words.push_back(words[i] + "a");
            words.push_back(words[i] + "b");
        }
    }
    return words;
}

TEST(ReplaceAll, SameResultAsRescanningFromStart) {
    const std::vector<std::string> texts = WordsUpTo(7);
    const std::vector<std::string> parts = WordsUpTo(3);
    for (const std::string& search : parts) {
        if (search.empty()) continue;
        for (const std::string& replacement : parts) {
            if (replacement.find(search) != std::string::npos) continue;
            for (const std::string& text : texts) {
                const std::optional<std::string> expected = RescanFromStart(text, search, replacement);
                if (!expected) continue;
                ASSERT_EQ(ReplaceAll(text, search, replacement), *expected)
                    << "text " << text << " search " << search << " replacement " << replacement;
            }
        }
    }
}

TEST(TextBeforeAfter, PickAParameter) {
    const std::string location = "http://pdm/get?object_id=42&rev=B";
    EXPECT_EQ(TextBefore(TextAfter(location, "object_id="), "&"), "42");
    EXPECT_EQ(TextBefore(TextAfter("http://pdm/get?rev=B&object_id=42", "object_id="), "&"), "42");
    EXPECT_EQ(TextBefore(TextAfter("http://pdm/get?rev=B", "object_id="), "&"), "");
}

TEST(TextBeforeAfter, MarkerPositions) {
    EXPECT_EQ(TextBefore("a=1=2", "="), "a");
    EXPECT_EQ(TextAfter("a=1=2", "="), "1=2");
    EXPECT_EQ(TextBefore("abc=", "="), "abc");
    EXPECT_EQ(TextAfter("abc=", "="), "");
    EXPECT_EQ(TextBefore("=abc", "="), "");
    EXPECT_EQ(TextAfter("=abc", "="), "abc");
    EXPECT_EQ(TextBefore("abc", "x"), "abc");
    EXPECT_EQ(TextAfter("abc", "x"), "");
    EXPECT_EQ(TextBefore("abc", ""), "");
    EXPECT_EQ(TextAfter("abc", ""), "abc");
    EXPECT_EQ(TextAfter("abcabc", "bc"), "abc");
}

TEST(ParseLeadingInt, AtoiRule) {
    EXPECT_EQ(ParseLeadingInt("12"), 12);
    EXPECT_EQ(ParseLeadingInt(" \t\n-7x"), -7);
    EXPECT_EQ(ParseLeadingInt("+5"), 5);
    EXPECT_EQ(ParseLeadingInt("007"), 7);
    EXPECT_EQ(ParseLeadingInt("12 3"), 12);
    EXPECT_EQ(ParseLeadingInt(""), 0);
    EXPECT_EQ(ParseLeadingInt("x1"), 0);
    EXPECT_EQ(ParseLeadingInt("-"), 0);
    EXPECT_EQ(ParseLeadingInt("+-1"), 0);
    EXPECT_EQ(ParseLeadingInt("- 1"), 0);
}

TEST(ParseLeadingInt, SaturatesAt32Bits) {
    EXPECT_EQ(ParseLeadingInt("2147483647"), 2147483647L);
    EXPECT_EQ(ParseLeadingInt("2147483648"), 2147483647L);
    EXPECT_EQ(ParseLeadingInt("-2147483648"), -2147483647L - 1);
    EXPECT_EQ(ParseLeadingInt("-2147483649"), -2147483647L - 1);
    EXPECT_EQ(ParseLeadingInt("99999999999999999999999999"), 2147483647L);
    EXPECT_EQ(ParseLeadingInt("4294967297"), 2147483647L);
}

TEST(DecimalText, NoSignNoLeadingZeros) {
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(12), "12");
    EXPECT_EQ(DecimalText(-3), "-3");
    EXPECT_EQ(DecimalText(2147483647L), "2147483647");
    EXPECT_EQ(ParseLeadingInt(DecimalText(-2147483647L - 1)), -2147483647L - 1);
}

}  // namespace
