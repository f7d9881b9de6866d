// The loaded module as the operating system names it: its HINSTANCE on
// Windows, natively the base address at which the shared object is mapped.
#pragma once

#include "platform/com.h"

#include <string>

#ifdef _WIN32
using ModuleHandle = HINSTANCE;
#else
using ModuleHandle = void*;
// The shared object that contains this code.
ModuleHandle CurrentModuleHandle();
#endif

// Full path of the module's file; empty when the system cannot tell.
std::string ModuleFilePath(ModuleHandle module);
