#include "platform/system/file_ops.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr mode_t kOwnerReadWrite = S_IRUSR | S_IWUSR;
}  // namespace

void MakeOwnerReadWrite(const std::string& path) { chmod(path.c_str(), kOwnerReadWrite); }

bool DeleteFileAt(const std::string& path) { return unlink(path.c_str()) == 0; }

// Linux file systems keep one name per file.
std::string LongPathName(const std::string& path) { return path; }
