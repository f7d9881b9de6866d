// The registry script of the agent class, written once as ZelDMAgent.rgs:
// the Windows build carries it as a REGISTRY resource, the native build has
// it compiled in as text.
#pragma once

#include "platform/system/module_file.h"
#include "platform/com/com.h"

#include <string>

HRESULT LoadAgentRegistryScript(ModuleHandle module, std::string& script);
