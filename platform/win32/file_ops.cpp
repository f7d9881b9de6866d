#include "platform/file_ops.h"

#include <io.h>
#include <sys/stat.h>

namespace {
// Owner read and write, as the runtime's _chmod takes it.
constexpr int kOwnerReadWrite = _S_IREAD | _S_IWRITE;
}  // namespace

void MakeOwnerReadWrite(const std::string& path) { _chmod(path.c_str(), kOwnerReadWrite); }

bool DeleteFileAt(const std::string& path) { return _unlink(path.c_str()) == 0; }
