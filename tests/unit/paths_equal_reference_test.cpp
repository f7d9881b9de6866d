// PathsEqual compares in place; it must answer as comparing the paths with
// every "/" replaced by "\" under the runtime's case-blind comparison does.
#include "platform/text/mbcompare.h"
#include "platform/text/paths.h"
#include "platform/text/strings.h"
#include "tests/support/code_page_for_test.h"

#include <gtest/gtest.h>

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
