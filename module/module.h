// The module: its start and end, the one class it serves and the four entry
// points of a self-registering in-process server. The lock count that
// DllCanUnloadNow reads lives in platform/com/module_lock.h, shared with the
// agent objects.
#pragma once

#include "platform/com/com.h"
#include "platform/system/module_file.h"

// Module start: from here on the agent's class is served and string
// resources load from this module. Nothing in it can fail.
void StartModule(ModuleHandle module);
// Module end: the cached class factory goes first, then the string module.
void EndModule();

// Declared as the Windows headers declare them (which the Windows build
// repeats here).
STDAPI DllCanUnloadNow();
STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out);
STDAPI DllRegisterServer();
STDAPI DllUnregisterServer();
