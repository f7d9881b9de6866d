// Our own text code held against the runtime library that the Windows
// product would otherwise call: path splitting against _splitpath, the case
// rule against _mbsicmp, hex escapes against sscanf("%x").

#include "platform/text/url.h"
#include "platform/text/ascii_fold.h"
#include "platform/text/paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Taken from the runtime DLL itself: MinGW's headers route sscanf to an
// implementation of their own.
using SplitPathFn = void(__cdecl*)(const char*, char*, char*, char*, char*);
using MbsICmpFn = int(__cdecl*)(const unsigned char*, const unsigned char*);
using MbsCmpFn = int(__cdecl*)(const unsigned char*, const unsigned char*);
using SscanfFn = int(__cdecl*)(const char*, const char*, ...);

template <typename Fn>
Fn RuntimeFunction(const char* name) {
    HMODULE runtime = GetModuleHandleA("msvcrt.dll");
    if (runtime == nullptr) runtime = LoadLibraryA("msvcrt.dll");
    return runtime ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(runtime, name))) : nullptr;
}

int Sign(int value) { return (value > 0) - (value < 0); }

// Byte by byte, each byte through fold, as unsigned values: <0, 0, >0.
template <typename Fold>
int CompareFolded(const char* a, const char* b, Fold fold) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a);
    const auto* pb = reinterpret_cast<const unsigned char*>(b);
    for (;; ++pa, ++pb) {
        const unsigned ca = fold(*pa);
        const unsigned cb = fold(*pb);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}
int AsciiICompare(const char* a, const char* b) { return CompareFolded(a, b, AsciiFold); }
int ByteCompare(const char* a, const char* b) {
    return CompareFolded(a, b, [](unsigned char c) { return c; });
}

// The documented buffer limits of the parts, terminator excluded.
constexpr size_t kMaxDrive = 2;
constexpr size_t kMaxPart = 255;
// Far beyond any input below, so that a runtime that does not cut cannot
// overrun the buffers either.
constexpr size_t kWideBuffer = 4096;

struct RuntimeSplit {
    std::string drive, directory, baseName, extension;
};

RuntimeSplit SplitByRuntime(SplitPathFn splitPath, const std::string& path) {
    std::vector<char> drive(kWideBuffer), dir(kWideBuffer), name(kWideBuffer), ext(kWideBuffer);
    splitPath(path.c_str(), drive.data(), dir.data(), name.data(), ext.data());
    return {drive.data(), dir.data(), name.data(), ext.data()};
}

// Where the runtime keeps a part within the limit, ours must be the same;
// where it returns more, ours is the documented cut of what it returns.
void ExpectPart(const std::string& ours, const std::string& runtime, size_t limit, const std::string& what,
                const std::string& path) {
    if (runtime.size() <= limit) {
        EXPECT_EQ(ours, runtime) << what << " of " << path;
    } else {
        std::printf("note: the runtime's _splitpath returns an uncut %s of %u characters\n", what.c_str(),
                    static_cast<unsigned>(runtime.size()));
        EXPECT_EQ(ours, runtime.substr(0, limit)) << what << " of " << path;
    }
}

bool AllEmpty(const RuntimeSplit& split) {
    return split.drive.empty() && split.directory.empty() && split.baseName.empty() && split.extension.empty();
}

// A part at its limit is one that may have been cut.
bool HasPartAtLimit(const std::string& path) {
    const PathParts parts = SplitPath(path);
    return parts.directory.size() == kMaxPart || parts.baseName.size() == kMaxPart || parts.extension.size() == kMaxPart;
}

TEST(RuntimeReference, SplitPathLikeTheRuntime) {
    const auto splitPath = RuntimeFunction<SplitPathFn>("_splitpath");
    ASSERT_NE(splitPath, nullptr);
    const std::string long300(300, 'n');
    const std::vector<std::string> paths = {
        "", "D:", "D", "D:gear.jt", "D:/views/gear.jt", "D:\\views\\gear.jt", "gear.jt", "a/b\\p.q.r",
        "dir.old/readme", "\\\\server\\share\\f.txt", "//server/share/f.txt", "\\\\server", "D:/views/",
        "D:\\views\\", "/", "\\", ".profile", "home/.profile", "name.", "..", "D:..", "D:.\\x", "1:x", ":x",
        "::", "a:b:c", "x/y.z/", "a.b/c.d\\e", " D:/x", "D:/ x .y ", "C:\\a\\b\\c\\d.e.f.g", "?:*|\"<>.x",
        long300, long300 + ".jt", "D:\\" + long300 + "\\x.y", "x." + long300, "\\" + std::string(253, 'd') + "\\",
        "\\" + std::string(254, 'd') + "\\", std::string(255, 'n'), std::string(256, 'n'),
        "." + std::string(254, 'e'), "." + std::string(255, 'e'),
    };
    for (const std::string& path : paths) {
        const RuntimeSplit runtime = SplitByRuntime(splitPath, path);
        // Some runtimes refuse a path with an overlong part and return every
        // part empty instead of cutting it; nothing to compare there but
        // that our split did cut.
        if (!path.empty() && AllEmpty(runtime)) {
            std::printf("note: the runtime's _splitpath returns nothing for a path of %u characters\n",
                        static_cast<unsigned>(path.size()));
            EXPECT_TRUE(HasPartAtLimit(path)) << path;
            continue;
        }
        const PathParts ours = SplitPath(path);
        ExpectPart(ours.drive, runtime.drive, kMaxDrive, "drive", path);
        ExpectPart(ours.directory, runtime.directory, kMaxPart, "directory", path);
        ExpectPart(ours.baseName, runtime.baseName, kMaxPart, "base name", path);
        ExpectPart(ours.extension, runtime.extension, kMaxPart, "extension", path);
    }
}

TEST(RuntimeReference, CaseRuleLikeMbsicmpForAscii) {
    const auto mbsicmp = RuntimeFunction<MbsICmpFn>("_mbsicmp");
    const auto mbscmp = RuntimeFunction<MbsCmpFn>("_mbscmp");
    ASSERT_NE(mbsicmp, nullptr);
    ASSERT_NE(mbscmp, nullptr);
    for (int a = 1; a < 128; ++a) {
        for (int b = 1; b < 128; ++b) {
            const char left[] = {static_cast<char>(a), 'x', 0};
            const char right[] = {static_cast<char>(b), 0};
            const auto* l = reinterpret_cast<const unsigned char*>(left);
            const auto* r = reinterpret_cast<const unsigned char*>(right);
            ASSERT_EQ(Sign(AsciiICompare(left, right)), Sign(mbsicmp(l, r))) << a << " " << b;
            ASSERT_EQ(Sign(ByteCompare(left, right)), Sign(mbscmp(l, r))) << a << " " << b;
        }
    }
}

TEST(RuntimeReference, PathsEqualLikeMbsicmpOfBackslashedCopies) {
    const auto mbsicmp = RuntimeFunction<MbsICmpFn>("_mbsicmp");
    ASSERT_NE(mbsicmp, nullptr);
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"d:/Views/Gear.JT", "D:\\views\\gear.jt"}, {"D:/views", "D:/views/"}, {"", ""}, {"Part", "part"},
        {"a//b", "a/b"}, {"[x]", "{X}"}, {"@", "`"}, {"_", "_"}, {"http:/", "HTTP:\\"}, {"A/B", "a\\b"},
        {"a b", "A  B"}, {"ViewList", "VIEWLIST"}, {"Markup0", "markup0 "},
    };
    for (const auto& [a, b] : pairs) {
        std::string ca = a, cb = b;
        for (char& c : ca) c = c == '/' ? '\\' : c;
        for (char& c : cb) c = c == '/' ? '\\' : c;
        const bool runtimeEqual = mbsicmp(reinterpret_cast<const unsigned char*>(ca.c_str()),
                                          reinterpret_cast<const unsigned char*>(cb.c_str())) == 0;
        EXPECT_EQ(PathsEqual(a, b), runtimeEqual) << a << " | " << b;
        EXPECT_EQ(AsciiICompare(ca.c_str(), cb.c_str()) == 0, runtimeEqual) << a << " | " << b;
    }
}

// Every escape "%" followed by up to two bytes, decoded as the runtime's
// sscanf reads it, apart from the escapes that read no number or a zero byte:
// those stay as written.
TEST(RuntimeReference, HexEscapesLikeSscanf) {
    const auto scan = RuntimeFunction<SscanfFn>("sscanf");
    ASSERT_NE(scan, nullptr);
    std::vector<std::string> inputs = {"", "0x", "0X", "0x1", "-0x1", "+0xA", "7fffffff", "ffffffff", "-80000000",
                                       " \t+f", "00000041", "0g"};
    for (int a = 1; a < 256; ++a) {
        inputs.push_back(std::string(1, static_cast<char>(a)));
        for (int b = 1; b < 256; ++b) inputs.push_back({static_cast<char>(a), static_cast<char>(b)});
    }
    for (const std::string& chars : inputs) {
        unsigned value = 0;
        const bool read = scan(chars.c_str(), "%x", &value) == 1;
        const std::optional<unsigned> ours = ReadHexNumber(chars);
        ASSERT_EQ(ours.has_value(), read) << "\"" << chars << "\"";
        if (read) {
            ASSERT_EQ(*ours, value) << "\"" << chars << "\"";
        }
        if (chars.size() > 2) continue;
        const char code = static_cast<char>(value & 0xFFu);
        const std::string expected = (read && code != 0) ? std::string(1, code) : "%" + chars;
        ASSERT_EQ(UrlDecode("%" + chars), expected) << "\"" << chars << "\"";
    }
}

}  // namespace
