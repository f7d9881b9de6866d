#include "module/exports.h"

#include "module/agent_module.h"
#include "platform/module_context.h"
#include "platform/module_lock.h"

#ifdef _WIN32
#include <olectl.h>
#endif

STDAPI DllCanUnloadNow() {
    ModuleContextGuard context;
    return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return TheAgentModule().GetClassObject(clsid, iid, out);
}

STDAPI DllRegisterServer() { return TheAgentModule().RegisterServer(true); }

STDAPI DllUnregisterServer() { return TheAgentModule().UnregisterServer(); }
