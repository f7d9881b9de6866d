
#include "tests/module/regsvr32_runner.h"

#include "platform/com/com.h"
#include "tests/module/agent_module_loader.h"
#include "tests/support/program_runner.h"

std::string AgentModulePath() { return TestExecutableFolder() + "ZelDMAgent.dll"; }

long RunRegsvr32(bool unregister) {
    const std::optional<DWORD> code =
        RunProgram(std::string("regsvr32.exe /s ") + (unregister ? "/u " : "") + "\"" + AgentModulePath() + "\"");
    return code ? static_cast<long>(*code) : -1;
}
