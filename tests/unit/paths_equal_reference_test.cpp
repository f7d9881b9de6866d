// PathsEqual compares in place; it must answer as comparing the paths with
// every "/" replaced by "\" under the runtime's case-blind comparison does.
#include "platform/mbcompare.h"
#include "platform/paths.h"
#include "platform/strings.h"

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

}  // namespace
