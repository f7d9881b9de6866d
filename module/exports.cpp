#include "module/exports.h"

#include "module/agent_module.h"
#include "platform/com/module_context.h"
#include "platform/com/module_lock.h"
#include "platform/com/result.h"

STDAPI DllCanUnloadNow() try {
    ModuleContextGuard context;
    return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}
CATCH_RETURN();

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) try {
    return TheAgentModule().GetClassObject(clsid, iid, out);
}
CATCH_RETURN();

STDAPI DllRegisterServer() try {
    return TheAgentModule().RegisterServer(true);
}
CATCH_RETURN();

STDAPI DllUnregisterServer() try {
    return TheAgentModule().UnregisterServer();
}
CATCH_RETURN();
