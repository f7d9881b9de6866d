// PathsEqual compares in place; it must answer as comparing the paths with
// every "/" replaced by "\" under the runtime's case-blind comparison does.
#include "platform/text/ascii_fold.h"
#include "platform/text/mbcompare.h"
#include "platform/text/paths.h"
#include "platform/text/strings.h"
#include "tests/support/code_page_for_test.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

bool ReferenceEqual(const std::string& a, const std::string& b) {
    return MbsICompare(ReplaceAll(a, "/", "\\").c_str(), ReplaceAll(b, "/", "\\").c_str()) == 0;
}

TEST(PathsEqualReference, AgreesOnEveryPairOfTrickyPaths) {
    using namespace std::string_literals;
    const std::vector<std::string> paths = {
        "", "a", "A", "ab", "a/b", "A\\B", "a\\b", "a//b", "a\\/b", "a/b/", "/", "\\", "@", "[", "`", "{",
        "Z", "z", "\x7F", "\xC3\xA9", "\xC3\x89", "\xE9", "\xC9", "a\0b"s, "a\0c"s, "a"s + '\0', "A\0"s,
        "[ViewList]Markup0", "[viewlist]MARKUP0", "d:/Views/Gear.JT", "D:\\views\\gear.jt", "D:\\views\\gear.jt ",
    };
    for (const std::string& a : paths) {
        for (const std::string& b : paths) {
            EXPECT_EQ(ReferenceEqual(a, b), PathsEqual(a, b)) << "\"" << a << "\" against \"" << b << "\"";
        }
    }
}

#ifndef _WIN32
// The native build's case-blind comparison orders ASCII by its folded bytes,
// a shorter text before a longer one it begins, and a double-byte character
// after every single byte wherever the two part.
TEST(MbsICompare, OrdersByFoldedCharacters) {
    std::mt19937 random(9);
    const std::string alphabet = "aAbB_[";
    const auto folded = [](std::string text) {
        for (char& c : text) c = static_cast<char>(AsciiFold(static_cast<unsigned char>(c)));
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        std::string a;
        std::string b;
        for (size_t i = 0, n = random() % 12; i < n; ++i) a += alphabet[random() % alphabet.size()];
        for (size_t i = 0, n = random() % 12; i < n; ++i) b += alphabet[random() % alphabet.size()];
        const int expected = folded(a).compare(folded(b));
        EXPECT_EQ((expected > 0) - (expected < 0), MbsICompare(a.c_str(), b.c_str())) << a << " / " << b;
    }
    ScopedAnsiCodePage japanese(932);
    EXPECT_EQ(0, MbsICompare("Ab\x83\x41", "aB\x83\x41"));
    EXPECT_EQ(-1, MbsICompare("ab", "a\x83\x41"));
    EXPECT_EQ(1, MbsICompare("a\x83\x41", "aZ"));
    EXPECT_EQ(-1, MbsICompare("a\x83\x41", "a\x83\x61"));
}

// In a double-byte code page a character's second byte may have the value of
// a letter or a backslash; both comparisons must take the character whole.
TEST(PathsEqualReference, AgreesInADoubleByteCodePage) {
    ScopedAnsiCodePage japanese(932);
    const std::vector<std::string> paths = {
        "", "a", "A", "\\", "/", "\x83", "\x83\x41", "\x83\x61", "\x83\x5C", "\x83/", "\x83\\", "\x83" "A",
        "\x83" "a", "\x83\x41" "a", "\x83\x41" "A", "\xA0" "A", "\xE0\x40", "\xFD\x41", "D:\\\x83\x5C.xml",
        "d:/\x83\x5C.XML",
    };
    for (const std::string& a : paths) {
        for (const std::string& b : paths) {
            EXPECT_EQ(ReferenceEqual(a, b), PathsEqual(a, b)) << "\"" << a << "\" against \"" << b << "\"";
        }
    }
}
#endif

}  // namespace
