#include "platform/system/file_ops.h"

#include "platform/com/com.h"
#include "platform/text/paths.h"

#include <io.h>
#include <sys/stat.h>

namespace {
// Owner read and write, as the runtime's _chmod takes it.
constexpr int kOwnerReadWrite = _S_IREAD | _S_IWRITE;
}  // namespace

void MakeOwnerReadWrite(const std::string& path) { _chmod(path.c_str(), kOwnerReadWrite); }

bool DeleteFileAt(const std::string& path) { return _unlink(path.c_str()) == 0; }

std::string LongPathName(const std::string& path) {
    const DWORD needed = GetLongPathNameA(path.c_str(), nullptr, 0);
    if (needed == 0) return path;
    std::string longPath(needed, '\0');
    const DWORD length = GetLongPathNameA(path.c_str(), longPath.data(), needed);
    // A name changed between the two calls may no longer fit.
    if (length == 0 || length >= needed) return path;
    longPath.resize(length);
    return longPath;
}

std::string FileIdentity(const std::string& path) { return LongPathName(NormalizedPath(path)); }

void FileIdentity(const std::string& path, std::string& identity) { identity = FileIdentity(path); }

bool IsExistingFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
