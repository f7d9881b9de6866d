// The native build has no profile API: this reader gives the answers that the
// Windows build gets from GetPrivateProfileStringW for the same file.

#include "viewer/sim/profile_reader.h"

#include <fstream>
#include <unordered_map>
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

// The values of one file as the lookup below finds them: the first section
// of each folded name, the first key of each folded name in it.
struct ProfileIndex {
    std::unordered_map<WideText, std::unordered_map<WideText, WideText>> sections;
};

WideText Folded(const WideText& text) {
    WideText folded = text;
    for (WCHAR& c : folded) c = Fold(c);
    return folded;
}

// The folded form of text without its surrounding blanks, into out; false
// when nothing is left.
bool FoldTrimmedInto(const WideText& text, WideText& out) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    out.clear();
    for (size_t i = begin; i < end; ++i) out += Fold(text[i]);
    return !out.empty();
}

ProfileIndex BuildIndex(const WideText& text) {
    ProfileIndex index;
    // Lines ahead of the first header belong to the section without a name;
    // later sections of a name already seen are never reached.
    std::unordered_map<WideText, WideText>* current = &index.sections[WideText()];
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find(u'\n', lineStart);
        if (lineEnd == WideText::npos) lineEnd = text.size();
        const WideText line = Trim(text.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (line.empty()) continue;
        if (line.front() == '[') {
            const size_t close = line.rfind(u']');
            // A header without "]" opens a section that no name reaches.
            current = nullptr;
            if (close == WideText::npos) continue;
            const auto [section, added] =
                index.sections.try_emplace(Folded(Trim(line.substr(1, close - 1))));
            if (added) current = &section->second;
            continue;
        }
        if (!current) continue;
        const size_t equals = line.find(u'=');
        current->try_emplace(Folded(Trim(line.substr(0, equals))),
                             equals == WideText::npos ? WideText() : StripQuotes(Trim(line.substr(equals + 1))));
    }
    return index;
}

// Every file read since the launch file was last named, kept as read: a
// launch file is read value by value, tens of thousands of times for a large
// view list, and whoever rewrites it names it again, which drops this.
std::unordered_map<std::string, ProfileIndex>& Cached() {
    static auto* cached = new std::unordered_map<std::string, ProfileIndex>;
    return *cached;
}

// A file that cannot be read is not kept: it may appear before the next read.
const ProfileIndex* IndexOf(const std::string& file) {
    auto& cached = Cached();
    const auto found = cached.find(file);
    if (found != cached.end()) return &found->second;
    const std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes) return nullptr;
    return &cached.emplace(file, BuildIndex(Decode(*bytes))).first->second;
}

}  // namespace

void ForgetProfileReads() { Cached().clear(); }

WideText ReadProfileText(const std::string& file, const WideText& section, const WideText& key) {
    // Reused between reads: the names are folded for every one of them.
    thread_local WideText foldedSection;
    thread_local WideText foldedKey;
    if (!FoldTrimmedInto(key, foldedKey)) return {};
    const ProfileIndex* index = IndexOf(file);
    if (!index) return {};
    FoldTrimmedInto(section, foldedSection);
    const auto inSection = index->sections.find(foldedSection);
    if (inSection == index->sections.end()) return {};
    const auto value = inSection->second.find(foldedKey);
    return value == inSection->second.end() ? WideText() : value->second;
}

}  // namespace nuvsim
