// The native build has no profile API: this reader gives the answers that the
// Windows build gets from GetPrivateProfileStringW for the same file.
#ifndef _WIN32

#include "viewer/sim/profile_reader.h"

#include <fstream>
#include <unordered_map>
#include <sys/stat.h>
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

// The file as last read, kept while its identity, size and modification time
// stay the same: a launch file is read value by value, tens of thousands of
// times for a large view list.
struct CachedProfile {
    std::string file;
    struct stat status {};
    ProfileIndex index;
};

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

std::optional<CachedProfile>& Cached() {
    static std::optional<CachedProfile> cached;
    return cached;
}

const ProfileIndex* IndexOf(const std::string& file) {
    std::optional<CachedProfile>& cached = Cached();
    struct stat status {};
    if (stat(file.c_str(), &status) != 0) return nullptr;
    if (cached && cached->file == file && SameFile(cached->status, status)) return &cached->index;
    cached.reset();
    const std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes) return nullptr;
    cached = CachedProfile{file, status, BuildIndex(Decode(*bytes))};
    return &cached->index;
}

}  // namespace

void ForgetProfileReads() { Cached().reset(); }

WideText ReadProfileText(const std::string& file, const WideText& section, const WideText& key) {
    const WideText wantedKey = Trim(key);
    if (wantedKey.empty()) return {};
    const ProfileIndex* index = IndexOf(file);
    if (!index) return {};
    const auto inSection = index->sections.find(Folded(Trim(section)));
    if (inSection == index->sections.end()) return {};
    const auto value = inSection->second.find(Folded(wantedKey));
    return value == inSection->second.end() ? WideText() : value->second;
}

}  // namespace nuvsim

#endif  // !_WIN32
