// The agent class's registration: its registry script, written once as
// ZelDMAgent.rgs, run with %MODULE% standing for this module's full path.
// The Windows build carries the script as a REGISTRY resource, the native
// build has it compiled in as text.
#pragma once

#include "platform/com/com.h"
#include "platform/system/module_file.h"

#include <string>

HRESULT UpdateAgentRegistry(ModuleHandle module, bool add);

HRESULT LoadAgentRegistryScript(ModuleHandle module, std::string& script);
