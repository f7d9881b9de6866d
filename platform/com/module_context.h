// Which module string resources load from. The agent's operations make this
// module current for their duration, so that a string loads from the agent's
// own table whoever called in, and put the caller's module back on every way
// out.
#pragma once

#include <string>

using ResourceModule = void*;  // the module's HMODULE in the Windows build

// Set once at module start to the agent module itself.
void SetAgentModule(ResourceModule module);
ResourceModule AgentModule();
// The current resource module of the calling thread (null before any guard).
ResourceModule CurrentResourceModule();

class ModuleContextGuard {
public:
    ModuleContextGuard();
    ~ModuleContextGuard();
    ModuleContextGuard(const ModuleContextGuard&) = delete;
    ModuleContextGuard& operator=(const ModuleContextGuard&) = delete;

private:
    ResourceModule m_previous;
};

// String id from the current resource module's string table; empty when absent.
std::string LoadModuleString(unsigned id);
