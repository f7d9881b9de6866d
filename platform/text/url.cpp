#include "platform/text/url.h"

#include "platform/text/paths.h"

namespace {

constexpr char kEscape = '%';
constexpr char kEncodedBlank = '+';
constexpr size_t kEscapeDigits = 2;
constexpr std::string_view kHttpPrefix = "http://";

bool IsScanBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<unsigned> ReadHexNumber(std::string_view chars) {
    size_t i = 0;
    while (i < chars.size() && IsScanBlank(chars[i])) ++i;
    bool negative = false;
    if (i < chars.size() && (chars[i] == '+' || chars[i] == '-')) {
        negative = chars[i] == '-';
        ++i;
    }
    // A "0x" prefix is skipped; the digits must follow it.
    if (i + 1 < chars.size() && chars[i] == '0' && (chars[i + 1] == 'x' || chars[i + 1] == 'X')) i += 2;
    bool seenDigit = false;
    unsigned value = 0;
    for (; i < chars.size() && HexDigitValue(chars[i]) >= 0; ++i) {
        value = value * 16u + static_cast<unsigned>(HexDigitValue(chars[i]));
        seenDigit = true;
    }
    if (!seenDigit) return std::nullopt;
    return negative ? 0u - value : value;
}

std::string UrlDecode(const std::string& text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == kEncodedBlank) {
            decoded += ' ';
            continue;
        }
        if (c != kEscape) {
            decoded += c;
            continue;
        }
        const std::string_view digits = std::string_view(text).substr(i + 1, kEscapeDigits);
        const std::optional<unsigned> number = ReadHexNumber(digits);
        const char code = number ? static_cast<char>(*number & 0xFFu) : '\0';
        // Where no number can be read the escape is not one and stays as it
        // stands. A decoded zero byte would cut every text that it later
        // passes through as a terminated string (the viewer's settings, the
        // command line) and silently drop what follows, so "%00" and its
        // kin stay as written too.
        if (code == '\0') {
            decoded += kEscape;
            decoded.append(digits);
        } else {
            decoded += code;
        }
        i += digits.size();
    }
    return decoded;
}

bool IsHttpLocation(const std::string& text) {
    // Most locations are paths: their first character settles it.
    if (text.empty() || (text.front() | 0x20) != kHttpPrefix.front()) return false;
    return PathsEqual(text.substr(0, kHttpPrefix.size()), std::string(kHttpPrefix));
}
