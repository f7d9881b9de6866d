#include "platform/paths.h"

#include "platform/mbcompare.h"
#include "platform/strings.h"

namespace {

// The runtime splits into fixed buffers (terminator included); a longer
// part keeps its first characters.
constexpr size_t kMaxDriveChars = 2;
constexpr size_t kMaxPartChars = 255;

struct PathParts {
    std::string drive;
    std::string directory;
    std::string baseName;
    std::string extension;
};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string Cut(const std::string& path, size_t from, size_t to, size_t maxChars) {
    const size_t length = to - from;
    return path.substr(from, length < maxChars ? length : maxChars);
}

PathParts SplitPath(const std::string& path) {
    PathParts parts;
    size_t scanStart = 0;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = Cut(path, 0, 2, kMaxDriveChars);
        scanStart = 2;
    }
    size_t afterLastSeparator = std::string::npos;
    size_t lastDot = std::string::npos;
    for (size_t i = scanStart; i < path.size(); ++i) {
        if (IsSeparator(path[i])) afterLastSeparator = i + 1;
        if (path[i] == '.') lastDot = i;
    }
    size_t nameStart = scanStart;
    if (afterLastSeparator != std::string::npos) {
        parts.directory = Cut(path, scanStart, afterLastSeparator, kMaxPartChars);
        nameStart = afterLastSeparator;
    }
    if (lastDot != std::string::npos && lastDot >= nameStart) {
        parts.baseName = Cut(path, nameStart, lastDot, kMaxPartChars);
        parts.extension = Cut(path, lastDot, path.size(), kMaxPartChars);
    } else {
        parts.baseName = Cut(path, nameStart, path.size(), kMaxPartChars);
    }
    return parts;
}

}  // namespace

std::string PathDrive(const std::string& path) { return SplitPath(path).drive; }

std::string PathDirectory(const std::string& path) { return SplitPath(path).directory; }

std::string PathBaseName(const std::string& path) { return SplitPath(path).baseName; }

std::string PathExtension(const std::string& path) { return SplitPath(path).extension; }

std::string PathFolder(const std::string& path) {
    PathParts parts = SplitPath(path);
    return parts.drive + parts.directory;
}

std::string PathFileName(const std::string& path) {
    PathParts parts = SplitPath(path);
    return parts.baseName + parts.extension;
}

#ifdef _WIN32
bool PathsEqual(const std::string& a, const std::string& b) {
    return MbsICompare(ReplaceAll(a, "/", "\\").c_str(), ReplaceAll(b, "/", "\\").c_str()) == 0;
}
#else
namespace {

// A byte of a path as the comparison sees it: past the end (or at an embedded
// zero, where the text ends for the comparison) 0, "/" as "\\", A-Z folded.
unsigned char PathByte(const std::string& path, size_t i) {
    const unsigned char c = i < path.size() ? static_cast<unsigned char>(path[i]) : 0;
    if (c == '/') return '\\';
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

}  // namespace

// Without a runtime code page the comparison is byte-wise: paths are compared
// where they lie rather than through separator-replaced copies, since the view
// list compares paths for every entry it restores.
bool PathsEqual(const std::string& a, const std::string& b) {
    for (size_t i = 0;; ++i) {
        const unsigned char ca = PathByte(a, i);
        if (ca != PathByte(b, i)) return false;
        if (ca == 0) return true;
    }
}
#endif
