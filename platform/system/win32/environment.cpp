#include "platform/system/environment.h"

#include "platform/com/com.h"

#include <vector>

std::optional<std::string> ExpandEnvironmentText(const std::string& text) {
    // The first call tells the size, terminator included; a variable may
    // change between the calls, so a second size that differs fails.
    const DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::vector<char> expanded(size);
    const DWORD written = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), size);
    if (written == 0 || written > size) return std::nullopt;
    return std::string(expanded.data());
}

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

std::string UserName() {
    // A user name has at most 256 characters (UNLEN).
    char name[257] = {};
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) ? std::string(name) : std::string();
}
