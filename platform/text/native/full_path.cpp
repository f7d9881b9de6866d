#include "platform/text/paths.h"

// The native launcher runs programs of this system, whose paths begin at its
// root; a "\" counts as "/" here, as it does when paths are compared.
bool IsFullPath(const std::string& path) {
    return IsDriveOrServerPath(path) || (!path.empty() && (path.front() == '/' || path.front() == '\\'));
}
