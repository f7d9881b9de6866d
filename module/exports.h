// The four entry points of a self-registering in-process server. The Windows
// headers declare them already; the native build declares them here.
#pragma once

#include "platform/com.h"

#ifndef _WIN32
STDAPI DllCanUnloadNow();
STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out);
STDAPI DllRegisterServer();
STDAPI DllUnregisterServer();
#endif
