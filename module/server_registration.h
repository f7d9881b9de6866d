// The registration routine of the agent class: runs the class's registry
// script with %MODULE% standing for this module's full path.
#pragma once

#include "platform/com/com.h"

HRESULT UpdateAgentRegistry(bool add);
