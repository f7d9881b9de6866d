#include "platform/text/paths.h"

#include "platform/text/mbcompare.h"
#include "platform/text/strings.h"

bool IsFullPath(const std::string& path) { return IsDriveOrServerPath(path); }

// The runtime's multibyte comparison of copies with "/" replaced by "\".
bool PathsEqual(const std::string& a, const std::string& b) {
    return MbsICompare(ReplaceAll(a, "/", "\\").c_str(), ReplaceAll(b, "/", "\\").c_str()) == 0;
}
