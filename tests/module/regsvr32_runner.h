// Registers and unregisters the built agent module the way an installer
// does: through the system's regsvr32, in a process of its own.
#pragma once

#ifdef _WIN32

#include <string>

// Full Windows path of the module beside the test executable.
std::string AgentModulePath();
// regsvr32 /s [/u] <module>; the exit code, or -1 when it could not start.
long RunRegsvr32(bool unregister);

#endif
