// The four entry points of a self-registering in-process server, declared as
// the Windows headers declare them (which the Windows build repeats here).
#pragma once

#include "platform/com/com.h"

STDAPI DllCanUnloadNow();
STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out);
STDAPI DllRegisterServer();
STDAPI DllUnregisterServer();
