#include "platform/system/environment.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace {
constexpr char kReferenceMark = '%';
}  // namespace

std::optional<std::string> ExpandEnvironmentText(const std::string& text) {
    std::string expanded;
    size_t at = 0;
    while (at < text.size()) {
        const size_t open = text.find(kReferenceMark, at);
        const size_t close = open == std::string::npos ? open : text.find(kReferenceMark, open + 1);
        if (close == std::string::npos) break;
        expanded.append(text, at, open - at);
        const std::string name = text.substr(open + 1, close - open - 1);
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value) {
            expanded += value;
            at = close + 1;
        } else {
            // The closing mark may open the next reference.
            expanded += kReferenceMark;
            expanded += name;
            at = close;
        }
    }
    expanded.append(text, at, std::string::npos);
    return expanded;
}

std::string ComputerName() {
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? name : "";
}

std::string UserName() {
    const passwd* user = getpwuid(geteuid());
    return user && user->pw_name ? user->pw_name : "";
}
