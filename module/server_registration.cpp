#include "module/server_registration.h"

#include "module/agent_module.h"
#include "module/registrar.h"
#include "module/registry_script.h"
#include "platform/com/result.h"

#include <string>

namespace {
constexpr const char* kModuleVariable = "MODULE";
}

HRESULT UpdateAgentRegistry(bool add) {
    const ModuleHandle module = TheAgentModule().Handle();
    std::string script;
    RETURN_IF_FAILED(LoadAgentRegistryScript(module, script));
    const std::string path = ModuleFilePath(module);
    RETURN_HR_IF(E_FAIL, path.empty());
    const RegistryVariables variables = {{kModuleVariable, path}};
    return RunRegistryScript(script, add ? RegistryScriptMode::Register : RegistryScriptMode::Unregister, variables);
}
