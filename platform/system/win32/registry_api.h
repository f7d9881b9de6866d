// The registry calls of the Windows build: the system's, which its headers
// declare. Reached through platform/system/registry_api.h.
#pragma once

#include "platform/com/com.h"
