#include "platform/text/url.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace std::string_literals;

TEST(UrlDecode, EscapesAndBlanks) {
    EXPECT_EQ(UrlDecode("A%2FB"), "A/B");
    EXPECT_EQ(UrlDecode("a+b%20c"), "a b c");
    EXPECT_EQ(UrlDecode("100%25"), "100%");
    EXPECT_EQ(UrlDecode("%41%62"), "Ab");
    EXPECT_EQ(UrlDecode("%e4%C4"), "\xe4\xc4");
    EXPECT_EQ(UrlDecode("%ff"), "\xff");
}

TEST(UrlDecode, DecodesOnce) {
    EXPECT_EQ(UrlDecode(""), "");
    EXPECT_EQ(UrlDecode("D:\\views\\gear.jt"), "D:\\views\\gear.jt");
    EXPECT_EQ(UrlDecode("%2541"), "%41");
    EXPECT_EQ(UrlDecode("%2B"), "+");
}

TEST(UrlDecode, LeadingHexDigitsOfTheTwo) {
    EXPECT_EQ(UrlDecode("x%4gy"), "x\x04y");
    EXPECT_EQ(UrlDecode("%4"), "\x04");
    EXPECT_EQ(UrlDecode("%a%b"), "\x0a" "b");
    // A blank and a sign are read before the digit, as the runtime does.
    EXPECT_EQ(UrlDecode("% 9"), "\x09");
    EXPECT_EQ(UrlDecode("%+9"), "\x09");
    EXPECT_EQ(UrlDecode("%-1"), "\xff");
    EXPECT_EQ(UrlDecode("%-f"), "\xf1");
}

TEST(UrlDecode, NoNumberKeepsTheCharacters) {
    EXPECT_EQ(UrlDecode("%zz"), "%zz");
    EXPECT_EQ(UrlDecode("50%"), "50%");
    EXPECT_EQ(UrlDecode("%g1"), "%g1");
    EXPECT_EQ(UrlDecode("%0x41"), "%0x41");
    EXPECT_EQ(UrlDecode("%+z"), "%+z");
    EXPECT_EQ(UrlDecode("%  "), "%  ");
    // The two characters are consumed even when they are not read: "+" stays.
    EXPECT_EQ(UrlDecode("%x+a"), "%x+a");
    EXPECT_EQ(UrlDecode("%%41"), "%%41");
}

TEST(UrlDecode, ZeroByteIsNotDecoded) {
    EXPECT_EQ(UrlDecode("a%00b"), "a%00b");
    EXPECT_EQ(UrlDecode("a%0"), "a%0");
    EXPECT_EQ(UrlDecode("%-0"), "%-0");
    EXPECT_EQ(UrlDecode("a%00b").find('\0'), std::string::npos);
}

TEST(ReadHexNumber, AsTheRuntimeReadsIt) {
    EXPECT_EQ(ReadHexNumber("ff"), 0xffu);
    EXPECT_EQ(ReadHexNumber("7fffffff"), 0x7fffffffu);
    EXPECT_EQ(ReadHexNumber("-1"), 0xffffffffu);
    EXPECT_EQ(ReadHexNumber("0x1A"), 0x1au);
    EXPECT_EQ(ReadHexNumber("\t\n 1"), 1u);
    EXPECT_EQ(ReadHexNumber("0"), 0u);
    EXPECT_EQ(ReadHexNumber("0g"), 0u);
    EXPECT_EQ(ReadHexNumber(""), std::nullopt);
    EXPECT_EQ(ReadHexNumber("0x"), std::nullopt);
    EXPECT_EQ(ReadHexNumber("-"), std::nullopt);
    EXPECT_EQ(ReadHexNumber("--1"), std::nullopt);
    EXPECT_EQ(ReadHexNumber("g"), std::nullopt);
}

TEST(IsHttpLocation, PrefixByPathRule) {
    const std::pair<const char*, bool> cases[] = {
        {"http://server/x", true},   {"HTTP://server/x", true}, {"http:\\\\server\\x", true}, {"http://", true},
        {"https://server/x", false}, {"ftp://server/x", false}, {"http:/", false},            {"", false},
        {" http://server/x", false},
    };
    for (const auto& [location, http] : cases) EXPECT_EQ(http, IsHttpLocation(location)) << '"' << location << '"';
}

}  // namespace
