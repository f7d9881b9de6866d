// Creating the agent the way the viewer does: through the COM runtime by its
// ProgID on Windows, through the module's own class factory natively.
#pragma once

#include "platform/com/com_ptr.h"

#include <string>

namespace host {

class AgentLoader {
public:
    AgentLoader() = default;
    AgentLoader(const AgentLoader&) = delete;
    AgentLoader& operator=(const AgentLoader&) = delete;
    ~AgentLoader() { Unload(); }

    // On failure, error holds one line for the user.
    HRESULT Create(std::string& error);
    IUnknown* Agent() const { return m_agent.get(); }
    // How the agent was made, for the report.
    const std::string& Description() const { return m_description; }
    // Releases the agent only.
    void ReleaseAgent() { m_agent.reset(); }
    // Releases the agent, then whatever made it.
    void Unload();

private:
    ComPtr<IUnknown> m_agent;
#ifdef _WIN32
    bool m_runtimeStarted = false;  // the COM runtime this host started
#else
    ComPtr<IClassFactory> m_factory;
    void* m_module = nullptr;  // the dlopen handle of libZelDMAgent.so
#endif
    std::string m_description;
};

// The folder of the running program, with a trailing separator.
std::string ProgramFolder();

}  // namespace host
