#include "platform/text/paths.h"

#include "platform/text/ansi_code_page.h"

#include <string_view>

namespace {

// The runtime splits into fixed buffers (terminator included); a longer
// part keeps its first characters.
constexpr size_t kMaxDriveChars = 2;
constexpr size_t kMaxPartChars = 255;
constexpr char kSeparators[] = "\\/";
constexpr char kExtensionDot[] = ".";

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

std::string PathFileName(const std::string& path) {
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
