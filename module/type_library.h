// Registration of the type library that the module carries as a resource.
#pragma once

#include "module/module_handle.h"
#include "platform/com.h"

// Registers the module's TYPELIB resource under the module's path. The native
// build carries no type library and succeeds without doing anything.
HRESULT RegisterModuleTypeLib(ModuleHandle module);
