#include "module/registration.h"

#include "module/registrar.h"
#include "platform/com/result.h"

#include <string>

namespace {
constexpr const char* kModuleVariable = "MODULE";
}

HRESULT UpdateAgentRegistry(ModuleHandle module, bool add) {
    std::string script;
    RETURN_IF_FAILED(LoadAgentRegistryScript(module, script));
    const std::string path = ModuleFilePath(module);
    RETURN_HR_IF(E_FAIL, path.empty());
    const RegistryVariables variables = {{kModuleVariable, path}};
    return RunRegistryScript(script, add ? RegistryScriptMode::Register : RegistryScriptMode::Unregister, variables);
}
