#include "platform/launch.h"

#include "platform/com.h"

#include <cstring>
#include <process.h>

namespace {
constexpr char kInterpreter[] = "\\cmd.exe";
// The interpreter ignores the name in the program's place.
constexpr char kProgramNamePlaceholder[] = "chaff";
constexpr char kRunCommandSwitch[] = "/C";
constexpr char kStartVerb[] = "start";
}  // namespace

int LaunchCommand(const std::string& command) {
    if (const TextHook hook = CurrentLaunchHook()) return hook(command);
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, sizeof path);
    // Zero is a failure; a length of the buffer or more is the size needed.
    if (length == 0 || length >= sizeof path || length + sizeof kInterpreter > sizeof path) return -1;
    std::memcpy(path + length, kInterpreter, sizeof kInterpreter);
    const intptr_t started = _spawnl(_P_DETACH, path, kProgramNamePlaceholder, kRunCommandSwitch, kStartVerb,
                                     command.c_str(), static_cast<const char*>(nullptr));
    return started == -1 ? -1 : 0;
}
