#include "module/dmagent_app.h"

#include "module/agent_module.h"
#include "module/object_map.h"
#include "platform/com/module_context.h"

bool CDMAgentApp::Start(ModuleHandle module) {
    m_module = module;
    if (!InitInstance()) {
        ExitInstance();
        return false;
    }
    // From here on string resources load from this module.
    SetAgentModule(module);
    m_started = true;
    return true;
}

void CDMAgentApp::End() {
    if (!m_started) return;
    m_started = false;
    ExitInstance();
    SetAgentModule(nullptr);
}

bool CDMAgentApp::InitInstance() {
    // A failure here only means no class is served; the load itself goes on.
    (void)TheAgentModule().Init(AgentObjectMap(), m_module);
    return true;
}

void CDMAgentApp::ExitInstance() { TheAgentModule().Term(); }
