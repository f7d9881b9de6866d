#include "platform/paths.h"

bool IsFullPath(const std::string& path) { return IsDriveOrServerPath(path); }
