#include "platform/paths.h"

#include <gtest/gtest.h>

namespace {

struct Split {
    std::string drive, directory, baseName, extension;
};

Split SplitOf(const std::string& path) {
    return {PathDrive(path), PathDirectory(path), PathBaseName(path), PathExtension(path)};
}

void ExpectSplit(const std::string& path, const Split& expected) {
    const Split got = SplitOf(path);
    EXPECT_EQ(got.drive, expected.drive) << path;
    EXPECT_EQ(got.directory, expected.directory) << path;
    EXPECT_EQ(got.baseName, expected.baseName) << path;
    EXPECT_EQ(got.extension, expected.extension) << path;
}

TEST(PathSplit, DriveDirectoryNameExtension) {
    ExpectSplit("D:/views/gear.jt", {"D:", "/views/", "gear", ".jt"});
    ExpectSplit("D:\\views\\gear.jt", {"D:", "\\views\\", "gear", ".jt"});
    EXPECT_EQ(PathFolder("D:/views/gear.jt"), "D:/views/");
    EXPECT_EQ(PathFileName("D:/views/gear.jt"), "gear.jt");
    EXPECT_EQ(PathFolder("D:\\views\\gear.jt"), "D:\\views\\");
    EXPECT_EQ(PathFileName("D:\\views\\gear.jt"), "gear.jt");
}

TEST(PathSplit, MissingParts) {
    ExpectSplit("gear.jt", {"", "", "gear", ".jt"});
    EXPECT_EQ(PathFolder("gear.jt"), "");
    EXPECT_EQ(PathFileName("gear.jt"), "gear.jt");
    ExpectSplit("D:gear.jt", {"D:", "", "gear", ".jt"});
    ExpectSplit("D:", {"D:", "", "", ""});
    ExpectSplit("", {"", "", "", ""});
    ExpectSplit("D", {"", "", "D", ""});
    // Whatever stands before the colon is the drive.
    ExpectSplit("1:x", {"1:", "", "x", ""});
    ExpectSplit(":x", {"", "", ":x", ""});
}

TEST(PathSplit, SeparatorsAndDots) {
    ExpectSplit("a/b\\p.q.r", {"", "a/b\\", "p.q", ".r"});
    ExpectSplit("dir.old/readme", {"", "dir.old/", "readme", ""});
    ExpectSplit("\\\\server\\share\\f.txt", {"", "\\\\server\\share\\", "f", ".txt"});
    ExpectSplit("//server/share/f.txt", {"", "//server/share/", "f", ".txt"});
    ExpectSplit("D:/views/", {"D:", "/views/", "", ""});
    EXPECT_EQ(PathFileName("D:/views/"), "");
    ExpectSplit(".profile", {"", "", "", ".profile"});
    ExpectSplit("home/.profile", {"", "home/", "", ".profile"});
    ExpectSplit("name.", {"", "", "name", "."});
    ExpectSplit("D:..", {"D:", "", ".", "."});
}

TEST(PathSplit, OverlongPartsKeepTheirFirstCharacters) {
    const std::string name300(300, 'n');
    const std::string dir300 = "\\" + std::string(298, 'd') + "\\";
    const std::string ext300 = "." + std::string(299, 'e');
    ExpectSplit(name300, {"", "", name300.substr(0, 255), ""});
    ExpectSplit(name300 + ".jt", {"", "", name300.substr(0, 255), ".jt"});
    ExpectSplit("C:" + dir300 + "x" + ext300, {"C:", dir300.substr(0, 255), "x", ext300.substr(0, 255)});
    // Each part is cut on its own; the file name stays whole beside a long folder.
    EXPECT_EQ(PathFileName(dir300 + "gear.jt"), "gear.jt");
    const std::string exact = "\\" + std::string(253, 'd') + "\\" + std::string(255, 'n') + "." + std::string(254, 'e');
    EXPECT_EQ(PathFolder(exact) + PathFileName(exact), exact);
}

TEST(PathsEqual, CaseAndSeparatorOnly) {
    EXPECT_TRUE(PathsEqual("d:/Views/Gear.JT", "D:\\views\\gear.jt"));
    EXPECT_FALSE(PathsEqual("D:/views", "D:/views/"));
    EXPECT_TRUE(PathsEqual("", ""));
    EXPECT_TRUE(PathsEqual("Part", "part"));
    EXPECT_FALSE(PathsEqual("Part", "Part "));
    EXPECT_FALSE(PathsEqual("a//b", "a/b"));
    EXPECT_FALSE(PathsEqual("a/./b", "a/b"));
    EXPECT_FALSE(PathsEqual("a", ""));
    // Only letters fold: "[" and "{" sit beside the letters in both cases.
    EXPECT_FALSE(PathsEqual("[", "{"));
    EXPECT_FALSE(PathsEqual("@", "`"));
}

}  // namespace
