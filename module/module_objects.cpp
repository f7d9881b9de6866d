// The module's static objects, in the order in which they must come to life:
// the object map, the module record, the application object. They are
// destroyed in reverse order when the module goes away.
#include "agent/agent_factory.h"
#include "interfaces/guids.h"
#include "module/agent_module.h"
#include "module/dmagent_app.h"
#include "module/object_map.h"
#include "module/server_registration.h"
#include "platform/system/module_file.h"

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

// Last, so that it starts the module after the objects above have come to
// life and ends it before they go, where no DllMain does.
class StaticStart {
public:
    StaticStart() {
        if (const std::optional<ModuleHandle> module = StaticallyStartedModule()) m_started = g_theApp.Start(*module);
    }
    ~StaticStart() {
        if (m_started) g_theApp.End();
    }

private:
    bool m_started = false;
};
StaticStart g_staticStart;
}  // namespace

ObjectMapEntry* AgentObjectMap() { return g_objectMap; }
CAgentModule& TheAgentModule() { return g_agentModule; }
CDMAgentApp& TheApp() { return g_theApp; }
