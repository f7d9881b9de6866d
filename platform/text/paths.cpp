#include "platform/text/paths.h"

#include "platform/text/ansi_code_page.h"
#include "platform/text/ascii_fold.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

// The runtime splits into fixed buffers (terminator included); a longer
// part keeps its first characters.
constexpr size_t kMaxDriveChars = 2;
constexpr size_t kMaxPartChars = 255;
constexpr char kSeparators[] = "\\/";
constexpr char kExtensionDot[] = ".";
constexpr char kSeparator = '\\';
constexpr char kDroppedAtNameEnd[] = ". ";
constexpr std::string_view kCurrentFolder = ".";
constexpr std::string_view kParentFolder = "..";
// Win32 file namespace and device namespace prefixes, in either separator.
constexpr std::string_view kRawPathPrefixes[] = {"\\\\?\\", "\\\\.\\", "//?/", "//./"};
constexpr std::string_view kUncPrefix = "UNC";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The part from..to, cut to maxChars bytes; a cut never keeps the first byte
// of a double-byte character without its second.
std::string Cut(const std::string& path, size_t from, size_t to, size_t maxChars) {
    if (to - from <= maxChars) return path.substr(from, to - from);
    const std::string_view part(path.data() + from, to - from);
    size_t length = 0;
    for (size_t next; (next = length + CharacterLength(part, length)) <= maxChars;) length = next;
    return path.substr(from, length);
}

}  // namespace

std::string_view WithoutTrailingDotsAndBlanks(std::string_view name) {
    size_t end = 0;
    for (size_t at = 0; at < name.size();) {
        const size_t length = CharacterLength(name, at);
        at += length;
        if (length > 1 || std::string_view(kDroppedAtNameEnd).find(name[at - 1]) == std::string_view::npos) end = at;
    }
    return name.substr(0, end);
}

namespace {

// The names between separators, found as characters: in a double-byte code
// page a second byte may have the value of "\".
std::vector<std::string_view> Names(std::string_view path) {
    std::vector<std::string_view> names;
    size_t begin = 0;
    for (size_t at = 0; at <= path.size();) {
        if (at == path.size() || IsSeparator(path[at])) {
            if (at > begin) names.push_back(path.substr(begin, at - begin));
            begin = ++at;
            continue;
        }
        at += CharacterLength(path, at);
    }
    return names;
}

bool HasRawPrefix(std::string_view path, std::string_view& rest) {
    for (const std::string_view prefix : kRawPathPrefixes) {
        if (path.substr(0, prefix.size()) != prefix) continue;
        rest = path.substr(prefix.size());
        return true;
    }
    return false;
}

// UNC and a separator, in any letter case: the server's share follows.
bool BeginsWithUnc(std::string_view path) {
    return path.size() > kUncPrefix.size() && IsSeparator(path[kUncPrefix.size()]) &&
           std::equal(kUncPrefix.begin(), kUncPrefix.end(), path.begin(),
                      [](char unc, char c) { return unc == (c & ~0x20); });
}

}  // namespace

namespace {

// A path NormalizedPath gives back as it is but for its separators, copied
// in one pass with its separators as "\": plain ASCII (no double-byte
// character to mind), no \\?\ or \\.\ prefix, and after the root (C:, C:\,
// \\ or \) names joined by single separators, none of them ending in a dot
// or a blank ("." and ".." among them). Most paths of a view list are such
// paths. False for any other path, with normalized left in any state.
bool CopyPlainPath(std::string_view path, std::string& normalized) {
    size_t namesFrom = 0;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // The \\?\ and \\.\ prefixes begin as a server's path does.
        std::string_view rest;
        if (HasRawPrefix(path, rest)) return false;
        namesFrom = 2;
    }
    // A drive is kept as written: a separator before its colon stays.
    else if (path.size() >= 2 && path[1] == ':' && IsSeparator(path[0])) return false;
    else if (path.size() >= 2 && path[1] == ':') namesFrom = path.size() > 2 && IsSeparator(path[2]) ? 3 : 2;
    else if (!path.empty() && IsSeparator(path[0])) namesFrom = 1;
    normalized.assign(path);
    char* out = normalized.data();
    for (size_t at = 0; at < namesFrom; ++at) out[at] = IsSeparator(path[at]) ? kSeparator : path[at];
    // The names, eight bytes at a time: every markup's path is normalised
    // once for a save's lookups. Before the first, as after a separator.
    uint64_t endsName = 1;  // whether the byte before is a separator, a dot or a blank
    for (size_t at = namesFrom; at < path.size(); at += sizeof(uint64_t)) {
        const size_t count = std::min(sizeof(uint64_t), path.size() - at);
        uint64_t word = 'a' * kEveryByte;  // what pads a last, short word stands for no rule
        if (count == sizeof word) word = WordAt(path, at);
        else std::memcpy(&word, path.data() + at, count);
        if (!IsPlainAsciiWord(word)) return false;
        const uint64_t separators = BytesEqual(word, '\\') | BytesEqual(word, '/');
        const uint64_t ends = separators | BytesEqual(word, '.') | BytesEqual(word, ' ');
        if ((separators & ((ends << 8) | (endsName << 7))) != 0) return false;
        endsName = (ends >> (8 * count - 1)) & 1;
        if (const uint64_t slashes = BytesEqual(word, '/')) {
            word ^= (slashes >> 7) * ('/' ^ kSeparator);
            if (count == sizeof word) std::memcpy(out + at, &word, sizeof word);
            else std::memcpy(out + at, &word, count);
        }
    }
    return namesFrom == path.size() || endsName == 0;
}

}  // namespace

std::string NormalizedPath(const std::string& path) {
    std::string normalized;
    NormalizePath(path, normalized);
    return normalized;
}

void NormalizePath(const std::string& path, std::string& normalized) {
    if (CopyPlainPath(path, normalized)) return;
    std::string_view rest = path;
    std::string root;
    size_t fixedNames = 0;  // names the root holds: a server and its share
    if (HasRawPrefix(rest, rest)) {
        if (BeginsWithUnc(rest)) {
            rest.remove_prefix(kUncPrefix.size());
            root = std::string(2, kSeparator);
            fixedNames = 2;
        }
    } else if (rest.size() >= 2 && IsSeparator(rest[0]) && IsSeparator(rest[1])) {
        root = std::string(2, kSeparator);
        fixedNames = 2;
    }
    if (root.empty() && rest.size() >= 2 && rest[1] == ':') {
        root = std::string(rest.substr(0, 2));
        rest.remove_prefix(2);
    }
    if (!rest.empty() && IsSeparator(rest.front()) && (root.empty() || root.back() == ':')) root += kSeparator;

    std::vector<std::string_view> kept;
    for (std::string_view name : Names(rest)) {
        if (kept.size() >= fixedNames) {
            if (name == kCurrentFolder) continue;
            if (name == kParentFolder) {
                // A relative path keeps the ".." it cannot resolve.
                if (kept.size() > fixedNames && kept.back() != kParentFolder) kept.pop_back();
                else if (root.empty()) kept.push_back(name);
                continue;
            }
        }
        name = WithoutTrailingDotsAndBlanks(name);
        if (!name.empty()) kept.push_back(name);
    }
    normalized = root;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) normalized += kSeparator;
        normalized += kept[i];
    }
}

// Separators and the dot are found as characters: in a double-byte code page
// the second byte of a character may have the value of "\".
PathParts SplitPath(const std::string& path) {
    PathParts parts;
    size_t scanStart = 0;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = Cut(path, 0, 2, kMaxDriveChars);
        scanStart = 2;
    }
    const std::string_view scanned = std::string_view(path).substr(scanStart);
    size_t nameStart = scanStart;
    const size_t lastSeparator = FindLastCharacterOf(scanned, kSeparators);
    if (lastSeparator != std::string_view::npos) {
        nameStart = scanStart + lastSeparator + 1;
        parts.directory = Cut(path, scanStart, nameStart, kMaxPartChars);
    }
    const size_t dot = FindLastCharacterOf(std::string_view(path).substr(nameStart), kExtensionDot);
    if (dot != std::string_view::npos) {
        const size_t lastDot = nameStart + dot;
        parts.baseName = Cut(path, nameStart, lastDot, kMaxPartChars);
        parts.extension = Cut(path, lastDot, path.size(), kMaxPartChars);
    } else {
        parts.baseName = Cut(path, nameStart, path.size(), kMaxPartChars);
    }
    parts.folderCut = parts.drive.size() + parts.directory.size() < nameStart;
    parts.fileNameCut = nameStart + parts.baseName.size() + parts.extension.size() < path.size();
    return parts;
}

std::string PathFolder(const std::string& path) {
    PathParts parts = SplitPath(path);
    return parts.drive + parts.directory;
}

std::optional<std::string_view> WholeFileName(std::string_view path) {
    const size_t scanStart = path.size() >= 2 && path[1] == ':' ? 2 : 0;
    const size_t lastSeparator = FindLastCharacterOf(path.substr(scanStart), kSeparators);
    const std::string_view name =
        path.substr(lastSeparator == std::string_view::npos ? scanStart : scanStart + lastSeparator + 1);
    // Neither the base name nor the extension is longer than the whole name.
    if (name.size() > kMaxPartChars) return std::nullopt;
    return name;
}

uint32_t PathHash(std::string_view text) {
    uint64_t hash = 0xcbf29ce484222325ull;
    size_t at = 0;
    // Eight bytes at a time while they are plain ASCII: every markup's path
    // is hashed for a save's lookups. Texts the comparison takes as equal
    // have their zero and their bytes above ASCII at the same places, so
    // both are hashed in the same steps.
    const auto plainWord = [&](size_t from) {
        uint64_t word = WordAt(text, from);
        if (!IsPlainAsciiWord(word)) return false;
        // Coarser than the comparison's fold, and cheaper: bit 5 set in
        // every byte makes A-Z a-z (and joins a few other pairs), which makes
        // "\" a "|"; "/" becomes "|" too.
        word |= ' ' * kEveryByte;
        word ^= (BytesEqual(word, '/') >> 7) * ('/' ^ ('\\' | ' '));
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
        hash ^= hash >> 29;
        return true;
    };
    while (at + sizeof(uint64_t) <= text.size() && plainWord(at)) at += sizeof(uint64_t);
    // The last bytes as the last eight, again with some before them: texts
    // of the same length take the same steps.
    if (at < text.size() && text.size() >= sizeof(uint64_t) && at + sizeof(uint64_t) > text.size() &&
        plainWord(text.size() - sizeof(uint64_t)))
        at = text.size();
    for (; at < text.size(); ++at) {
        auto byte = static_cast<unsigned char>(text[at]);
        // The comparison ends at a zero; the Windows one may fold bytes above
        // ASCII by the code page, so they all hash alike.
        if (byte == 0) break;
        if (byte >= 0x80) byte = 0x80;
        else if (byte == '/') byte = '\\';
        hash = (hash ^ AsciiFold(byte)) * 0x100000001b3ull;
    }
    // The low bits pick the slot: every bit of the text must reach them.
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ull;
    hash ^= hash >> 33;
    return static_cast<uint32_t>(hash);
}

std::string PathFileName(const std::string& path) {
    if (const std::optional<std::string_view> name = WholeFileName(path)) return std::string(*name);
    PathParts parts = SplitPath(path);
    return parts.baseName + parts.extension;
}

bool PathFolderFits(const std::string& path) { return !SplitPath(path).folderCut; }

bool PathFileNameFits(const std::string& path) { return !SplitPath(path).fileNameCut; }

bool IsDriveOrServerPath(const std::string& path) {
    const auto isSeparator = [](char c) { return std::string_view(kSeparators).find(c) != std::string_view::npos; };
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && isSeparator(path[2])) return true;
    return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
}
