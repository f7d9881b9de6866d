#include "platform/text/paths.h"

#include "tests/support/code_page_for_test.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

struct Split {
    std::string drive, directory, baseName, extension;
};

Split SplitOf(const std::string& path) {
    const PathParts parts = SplitPath(path);
    return {parts.drive, parts.directory, parts.baseName, parts.extension};
}

void ExpectSplit(const std::string& path, const Split& expected) {
    const Split got = SplitOf(path);
    EXPECT_EQ(got.drive, expected.drive) << path;
    EXPECT_EQ(got.directory, expected.directory) << path;
    EXPECT_EQ(got.baseName, expected.baseName) << path;
    EXPECT_EQ(got.extension, expected.extension) << path;
}

struct PathPair {
    const char* a;
    const char* b;
    bool equal;
};

void ExpectPathsEqual(std::initializer_list<PathPair> pairs) {
    for (const PathPair& pair : pairs)
        EXPECT_EQ(pair.equal, PathsEqual(pair.a, pair.b)) << '"' << pair.a << "\" against \"" << pair.b << '"';
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
    ExpectPathsEqual({
        {"d:/Views/Gear.JT", "D:\\views\\gear.jt", true},
        {"D:/views", "D:/views/", false},
        {"", "", true},
        {"Part", "part", true},
        {"Part", "Part ", false},
        {"a//b", "a/b", false},
        {"a/./b", "a/b", false},
        {"a", "", false},
        // Only letters fold: "[" and "{" sit beside the letters in both cases.
        {"[", "{", false},
        {"@", "`", false},
    });
}

#ifndef _WIN32

// In each double-byte code page, a character whose second byte has the value
// of "\" belongs to the name, as the runtime's own path functions see it.
TEST(PathSplit, DoubleByteCharactersKeepTheirSecondByte) {
    struct Case {
        unsigned codePage;
        std::string character;
    };
    for (const Case& c : {Case{932, "\x83\x5C"}, Case{936, "\x81\x5C"}, Case{950, "\xB3\x5C"}}) {
        ScopedAnsiCodePage codePage(c.codePage);
        const std::string name = c.character + "." + c.character;
        ExpectSplit("C:\\tmp\\" + name, {"C:", "\\tmp\\", c.character, "." + c.character});
        EXPECT_EQ(PathFileName("C:\\tmp\\" + c.character + ".xml"), c.character + ".xml") << c.codePage;
        EXPECT_EQ(PathFolder("D:/" + c.character + "/" + c.character + "x"), "D:/" + c.character + "/") << c.codePage;
    }
    // The same bytes in UTF-8 or a single-byte code page are two characters.
    EXPECT_EQ(PathFileName("C:\\tmp\\\x83\x5C.xml"), ".xml");
}

TEST(PathSplit, InTheKoreanCodePageABackslashAfterALeadByteSeparates) {
    ScopedAnsiCodePage korean(949);
    ExpectSplit("C:\\\xB0\xA1\\\xB0\x5Cx.y", {"C:", "\\\xB0\xA1\\\xB0\x5C", "x", ".y"});
}

// A part cut to its limit never keeps half a character.
TEST(PathSplit, CutsFallBetweenCharacters) {
    ScopedAnsiCodePage japanese(932);
    std::string kana = "a";
    for (int i = 0; i < 150; ++i) kana += "\x83\x41";
    EXPECT_EQ(SplitPath(kana).baseName, kana.substr(0, 255));
    EXPECT_EQ(SplitPath(kana.substr(1)).baseName, kana.substr(1, 254));
}

TEST(PathsEqual, DoubleByteCharactersCompareWhole) {
    ScopedAnsiCodePage japanese(932);
    ExpectPathsEqual({
        // Second bytes that have the values of letters do not fold.
        {"\x83\x41", "\x83\x61", false},
        {"d:/Srv/\x83\x41.XML", "D:\\srv\\\x83\x41.xml", true},
        // A lead byte without its second byte is a character of its own.
        {"\x83 A", "\x83 a", true},
    });
}

#endif

// Every spelling Windows resolves to one path before a file system sees it.
TEST(NormalizedPath, ResolvesWhatWindowsResolves) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\PDM\\vault\\review.xml", "C:\\PDM\\vault\\review.xml"},
        {"C:\\PDM\\vault\\.\\review.xml", "C:\\PDM\\vault\\review.xml"},
        {"C:\\PDM\\vault\\\\review.xml", "C:\\PDM\\vault\\review.xml"},
        {"C:/PDM//vault/review.xml", "C:\\PDM\\vault\\review.xml"},
        {"C:\\PDM\\vault\\review.xml. . ", "C:\\PDM\\vault\\review.xml"},
        {"C:\\PDM\\vault. \\review.xml", "C:\\PDM\\vault\\review.xml"},
        {"C:\\PDM\\other\\..\\vault\\review.xml", "C:\\PDM\\vault\\review.xml"},
        {"C:\\..\\..\\PDM\\review.xml", "C:\\PDM\\review.xml"},
        {"\\\\?\\C:\\PDM\\review.xml", "C:\\PDM\\review.xml"},
        {"\\\\.\\C:\\PDM\\review.xml", "C:\\PDM\\review.xml"},
        {"//?/C:/PDM/review.xml", "C:\\PDM\\review.xml"},
        {"\\\\?\\UNC\\pdm\\vault\\review.xml", "\\\\pdm\\vault\\review.xml"},
        {"\\\\?\\unc\\pdm\\vault\\..\\..\\review.xml", "\\\\pdm\\vault\\review.xml"},
        {"\\\\pdm\\vault\\.\\x\\..\\review.xml", "\\\\pdm\\vault\\review.xml"},
        {"C:review.xml", "C:review.xml"},
        {"..\\..\\review.xml", "..\\..\\review.xml"},
        {"a\\..\\..\\review.xml", "..\\review.xml"},
        {"", ""},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(NormalizedPath(path), expected) << path;
}

// Every path of a small alphabet: a plain path is given back without the
// full resolution, and must come out as that resolution makes it (a "\\."
// at the end always takes it). Its hash, and its file name, agree with the
// comparison and with PathFileName.
TEST(NormalizedPath, PlainPathsComeOutAsTheFullResolutionMakesThem) {
    const std::string alphabet[] = {"a", "B", ".", " ", "\\", "/", ":", "?", "\xC3\xA9"};
    std::vector<std::string> paths{""};
    for (size_t length = 0; length < 5; ++length) {
        std::vector<std::string> longer;
        for (const std::string& path : paths)
            for (const std::string& part : alphabet) longer.push_back(path + part);
        for (const std::string& path : longer) {
            const std::string normalized = NormalizedPath(path);
            if (path.back() == 'a' || path.back() == 'B') {
                ASSERT_EQ(normalized, NormalizedPath(path + "\\.")) << '"' << path << '"';
            }
            std::string respelled = normalized;
            for (char& c : respelled) c = c == '\\' ? '/' : c == 'a' ? 'A' : c == 'B' ? 'b' : c;
            ASSERT_TRUE(PathsEqual(normalized, respelled)) << '"' << path << '"';
            ASSERT_EQ(PathHash(normalized), PathHash(respelled)) << '"' << path << '"';
            if (const std::optional<std::string_view> name = WholeFileName(path)) {
                ASSERT_EQ(std::string(*name), PathFileName(path)) << '"' << path << '"';
            }
        }
        paths = std::move(longer);
    }
    // Longer paths, drawn at random: a path is checked eight bytes at a time.
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        std::string path;
        const size_t length = 6 + random() % 20;
        for (size_t i = 0; i < length; ++i) path += alphabet[random() % (random() % 4 == 0 ? 9 : 2)];
        if (path.back() == 'a' || path.back() == 'B') {
            ASSERT_EQ(NormalizedPath(path), NormalizedPath(path + "\\.")) << '"' << path << '"';
        }
    }
}

TEST(PathHash, TextsTheComparisonTakesAsEqualHashAlike) {
    const std::pair<std::string, std::string> equal[] = {
        {"C:\\PDM\\Review.XML", "c:/pdm/review.xml"}, {"", ""}, {"a\0b", "A\0c"}, {"\xC3\xA9", "\xC3\xA9"}};
    for (const auto& [a, b] : equal) {
        ASSERT_TRUE(PathsEqual(a, b)) << a << " / " << b;
        EXPECT_EQ(PathHash(a), PathHash(b)) << a << " / " << b;
    }
    // Texts of every length, eight bytes at a time and apart: respelled, or
    // with other bytes behind a zero, they hash alike.
    const std::string alphabet[] = {"a", "B", "/", "\\", ".", std::string(1, '\0'), "\xC3", "\xA9"};
    std::mt19937 random(5);
    for (int round = 0; round < 20000; ++round) {
        std::string a;
        for (size_t i = 0, length = random() % 30; i < length; ++i) a += alphabet[random() % (random() % 3 ? 5 : 8)];
        std::string b = a;
        for (char& c : b) c = c == '\\' ? '/' : c == '/' ? '\\' : c == 'a' ? 'A' : c == 'B' ? 'b' : c;
        if (const size_t zero = b.find('\0'); zero != std::string::npos) b.resize(zero + 1 + random() % 3, 'x');
        ASSERT_TRUE(PathsEqual(a, b)) << round;
        ASSERT_EQ(PathHash(a), PathHash(b)) << round;
    }
    // Texts that differ in one letter land apart (the table's slots come
    // from the hash's low bits).
    EXPECT_NE(PathHash("m1.xml") & 0xFF, PathHash("m2.xml") & 0xFF);
    EXPECT_NE(PathHash("m1.xml"), PathHash("m1.xmk"));
}

// Plain ASCII paths are searched from the end eight bytes at a time: the
// last separator and the last dot wherever they fall in a word.
TEST(PathSplit, TheLastSeparatorAndDotOfLongPlainPaths) {
    const char alphabet[] = {'a', 'B', '.', '\\', '/', ' '};
    std::mt19937 random(3);
    for (int round = 0; round < 20000; ++round) {
        std::string path;
        for (size_t i = 0, length = random() % 40; i < length; ++i) path += alphabet[random() % (random() % 4 ? 2 : 6)];
        const size_t separator = path.find_last_of("\\/");
        const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
        ASSERT_EQ(WholeFileName(path), name) << '"' << path << '"';
        const size_t dot = name.rfind('.');
        ASSERT_EQ(SplitPath(path).extension, dot == std::string::npos ? "" : name.substr(dot)) << '"' << path << '"';
    }
}

TEST(PathSplit, AWholeFileNameIsWhatPathFileNameGives) {
    EXPECT_EQ(WholeFileName("C:\\PDM\\a.b.xml"), "a.b.xml");
    EXPECT_EQ(WholeFileName("C:a.xml"), "a.xml");
    EXPECT_EQ(WholeFileName("C:\\PDM\\"), "");
    EXPECT_EQ(WholeFileName("C:\\" + std::string(256, 'x')), std::nullopt);
    EXPECT_EQ(PathFileName("C:\\" + std::string(256, 'x')), std::string(255, 'x'));
}

#ifndef _WIN32
// A separator's value as the second byte of a double-byte character is part
// of that character, and so is what looks like a trailing dot.
TEST(NormalizedPath, DoubleByteCharactersStayWhole) {
    ScopedAnsiCodePage japanese(932);
    const std::string so = "\x83\x5C";  // its second byte is "\"
    EXPECT_EQ(NormalizedPath("C:\\" + so + "\\.\\" + so + ".xml"), "C:\\" + so + "\\" + so + ".xml");
    EXPECT_EQ(NormalizedPath("C:\\a\\" + so + "\\..\\b"), "C:\\a\\b");
}
#endif

}  // namespace
