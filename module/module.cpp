#include "module/module.h"

#include "agent/agent_factory.h"
#include "interfaces/guids.h"
#include "module/class_factory.h"
#include "module/registration.h"
#include "platform/com/com_ptr.h"
#include "platform/com/critical_section.h"
#include "platform/com/module_context.h"
#include "platform/com/module_lock.h"
#include "platform/com/result.h"

#include <utility>

namespace {

// The module's state, alive from before the module starts until after it
// ends.
struct ModuleState {
    ModuleHandle module = nullptr;
    bool started = false;
    // Created on the first request and kept until the module ends, so that
    // every caller gets the one factory.
    ComPtr<CClassFactory> factory;
    CriticalSection factoryLock;
};
ModuleState g_state;

// Last, so that it starts the module after the state above has come to life
// and ends it before it goes, where no DllMain does.
class StaticStart {
public:
    StaticStart() {
        if (const std::optional<ModuleHandle> module = StaticallyStartedModule()) {
            StartModule(*module);
            m_started = true;
        }
    }
    ~StaticStart() {
        if (m_started) EndModule();
    }

private:
    bool m_started = false;
};
StaticStart g_staticStart;

}  // namespace

void StartModule(ModuleHandle module) {
    g_state.module = module;
    g_state.started = true;
    SetAgentModule(module);
}

void EndModule() {
    if (!g_state.started) return;
    g_state.started = false;
    ComPtr<CClassFactory> factory;
    {
        CriticalSectionLock lock(g_state.factoryLock);
        factory = std::move(g_state.factory);
    }
    if (factory) factory->ReleaseModuleHold();
    factory.reset();
    SetAgentModule(nullptr);
}

STDAPI DllCanUnloadNow() try {
    ModuleContextGuard context;
    return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}
CATCH_RETURN();

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) try {
    RETURN_HR_IF(E_POINTER, out == nullptr);
    *out = nullptr;
    RETURN_HR_IF(CLASS_E_CLASSNOTAVAILABLE, !g_state.started || !IsEqualGUID(clsid, CLSID_DMAgent));

    // Callers on several threads at once must all get the one factory.
    CriticalSectionLock lock(g_state.factoryLock);
    if (!g_state.factory) {
        RETURN_IF_FAILED(g_state.factory.receive([](auto created) {
            return CClassFactory::Create(&CreateAgentObject, created);
        }));
    }
    return g_state.factory->QueryInterface(iid, out);
}
CATCH_RETURN();

STDAPI DllRegisterServer() try {
    RETURN_HR_IF(E_UNEXPECTED, !g_state.started);
    RETURN_IF_FAILED(UpdateAgentRegistry(g_state.module, true));
    return RegisterModuleTypeLibrary(g_state.module);
}
CATCH_RETURN();

STDAPI DllUnregisterServer() try {
    RETURN_HR_IF(E_UNEXPECTED, !g_state.started);
    // The type library stays registered: other modules may share it.
    return UpdateAgentRegistry(g_state.module, false);
}
CATCH_RETURN();
