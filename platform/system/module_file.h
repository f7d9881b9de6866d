// The loaded module as the operating system names it (its HMODULE on
// Windows, natively the base address at which the shared object is mapped),
// and what the system keeps about it.
#pragma once

#include "platform/com/com.h"

#include <optional>
#include <string>

using ModuleHandle = void*;

// Where no entry point hands the module its handle (natively: a shared
// object has no DllMain), the module starts with its static objects, and
// this is its handle; nothing on Windows, where DllMain starts it.
std::optional<ModuleHandle> StaticallyStartedModule();

// Full path of the module's file; empty when the system cannot tell.
std::string ModuleFilePath(ModuleHandle module);

// Registers the type library that the module carries as a resource, under
// the module's path. The native build carries none and succeeds without
// doing anything.
HRESULT RegisterModuleTypeLibrary(ModuleHandle module);
