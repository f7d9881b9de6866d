#include "platform/com/module_context.h"

namespace {
ResourceModule g_agentModule = nullptr;
thread_local ResourceModule t_currentModule = nullptr;
}  // namespace

void SetAgentModule(ResourceModule module) { g_agentModule = module; }
ResourceModule AgentModule() { return g_agentModule; }
ResourceModule CurrentResourceModule() { return t_currentModule; }

ModuleContextGuard::ModuleContextGuard() : m_previous(t_currentModule) { t_currentModule = g_agentModule; }
ModuleContextGuard::~ModuleContextGuard() { t_currentModule = m_previous; }
