#include "platform/file_ops.h"

#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {
// Owner read and write: the same bits in both runtimes.
constexpr int kOwnerReadWrite = 0x180;
}  // namespace

void MakeOwnerReadWrite(const std::string& path) {
#ifdef _WIN32
    _chmod(path.c_str(), kOwnerReadWrite);
#else
    chmod(path.c_str(), kOwnerReadWrite);
#endif
}

bool DeleteFileAt(const std::string& path) {
#ifdef _WIN32
    return _unlink(path.c_str()) == 0;
#else
    return unlink(path.c_str()) == 0;
#endif
}
