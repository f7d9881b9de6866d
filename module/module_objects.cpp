// The module's static objects, in the order in which they must come to life:
// the object map, the module record, the application object. They are
// destroyed in reverse order when the module goes away.
#include "agent/agent_factory.h"
#include "interfaces/guids.h"
#include "module/agent_module.h"
#include "module/dmagent_app.h"
#include "module/object_map.h"
#include "module/server_registration.h"

namespace {
const char* NoDescription() { return nullptr; }
const void* NoCategories() { return nullptr; }
void NothingToStartOrStop(bool) {}

ObjectMapEntry g_objectMap[] = {
    {&CLSID_DMAgent, &UpdateAgentRegistry, &CClassFactory::Create, &CreateAgentObject, nullptr, &NoDescription,
     &NoCategories, &NothingToStartOrStop},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
};

CAgentModule g_agentModule;
CDMAgentApp g_theApp;

#ifndef _WIN32
// A shared object has no DllMain: its start and end ride on a static object
// that comes after the others.
struct NativeModuleLifetime {
    NativeModuleLifetime() { g_theApp.Start(CurrentModuleHandle()); }
    ~NativeModuleLifetime() { g_theApp.End(); }
};
NativeModuleLifetime g_lifetime;
#endif
}  // namespace

ObjectMapEntry* AgentObjectMap() { return g_objectMap; }
CAgentModule& TheAgentModule() { return g_agentModule; }
CDMAgentApp& TheApp() { return g_theApp; }
