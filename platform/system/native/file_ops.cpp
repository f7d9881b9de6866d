#include "platform/system/file_ops.h"

#include "platform/text/paths.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr mode_t kOwnerReadWrite = S_IRUSR | S_IWUSR;
}  // namespace

void MakeOwnerReadWrite(const std::string& path) { chmod(path.c_str(), kOwnerReadWrite); }

bool DeleteFileAt(const std::string& path) { return unlink(path.c_str()) == 0; }

// Linux file systems keep one name per file.
std::string LongPathName(const std::string& path) { return path; }

void FileIdentity(const std::string& path, std::string& identity) { NormalizePath(path, identity); }

std::string FileIdentity(const std::string& path) { return NormalizedPath(path); }

bool IsExistingFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}
