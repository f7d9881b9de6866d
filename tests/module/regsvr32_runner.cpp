#ifdef _WIN32

#include "tests/module/regsvr32_runner.h"

#include "platform/com.h"
#include "tests/module/agent_module_loader.h"

std::string AgentModulePath() { return TestExecutableFolder() + "ZelDMAgent.dll"; }

long RunRegsvr32(bool unregister) {
    std::string command = std::string("regsvr32.exe /s ") + (unregister ? "/u " : "") + "\"" + AgentModulePath() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

#endif
