#include "platform/text/paths.h"

bool IsFullPath(const std::string& path) { return IsDriveOrServerPath(path); }
