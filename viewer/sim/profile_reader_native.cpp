// The native build has no profile API: this reader gives the answers that the
// Windows build gets from GetPrivateProfileStringW for the same file.
#ifndef _WIN32

#include "viewer/sim/profile_reader.h"

#include <fstream>
#include <iterator>
#include <optional>

namespace nuvsim {
namespace {

bool IsBlank(WCHAR c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A; }

WideText Trim(const WideText& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

WCHAR Fold(WCHAR c) {
    const bool upperAscii = c >= 'A' && c <= 'Z';
    const bool upperLatin1 = c >= 0xC0 && c <= 0xDE && c != 0xD7;
    return (upperAscii || upperLatin1) ? static_cast<WCHAR>(c + 0x20) : c;
}

bool NamesEqual(const WideText& a, const WideText& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

WideText DecodeUtf16(const std::string& bytes, size_t start, bool bigEndian) {
    WideText out;
    for (size_t i = start; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        out += static_cast<WCHAR>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return out;
}

// Byte order marks choose UTF-16 or UTF-8; without one the file is ANSI text.
WideText Decode(const std::string& bytes) {
    if (bytes.rfind("\xFF\xFE", 0) == 0) return DecodeUtf16(bytes, 2, false);
    if (bytes.rfind("\xFE\xFF", 0) == 0) return DecodeUtf16(bytes, 2, true);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return AnsiToWideText(bytes.substr(3));
    return AnsiToWideText(bytes);
}

std::optional<std::string> ReadFileBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

WideText StripQuotes(const WideText& value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

}  // namespace

WideText ReadProfileText(const std::string& file, const WideText& section, const WideText& key) {
    const WideText wantedSection = Trim(section);
    const WideText wantedKey = Trim(key);
    const std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes || wantedKey.empty()) return {};
    const WideText text = Decode(*bytes);

    // Lines ahead of the first header belong to the section without a name.
    bool inWanted = wantedSection.empty();
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find(u'\n', lineStart);
        if (lineEnd == WideText::npos) lineEnd = text.size();
        const WideText line = Trim(text.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (line.empty()) continue;
        if (line.front() == '[') {
            if (inWanted) return {};  // a later section of the same name does not count
            const size_t close = line.rfind(u']');
            // A header without "]" opens a section that no name reaches.
            inWanted = close != WideText::npos && NamesEqual(Trim(line.substr(1, close - 1)), wantedSection);
            continue;
        }
        if (!inWanted) continue;
        const size_t equals = line.find(u'=');
        if (!NamesEqual(Trim(line.substr(0, equals)), wantedKey)) continue;
        return equals == WideText::npos ? WideText() : StripQuotes(Trim(line.substr(equals + 1)));
    }
    return {};
}

}  // namespace nuvsim

#endif  // !_WIN32
