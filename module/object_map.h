// The classes this module serves.
#pragma once

#include "module/agent_module.h"

// The map with its end marker; lives as long as the module.
ObjectMapEntry* AgentObjectMap();
