// What the fuzz programs share: a private registry store and scratch folder
// per process, the launch file on disk, an agent driven the way the viewer
// drives it, and the reference check that turns a leak into a finding.
#pragma once

#include "agent/agent_factory.h"
#include "interfaces/agent_interfaces.h"
#include "agent/dm_agent.h"
#include "interfaces/guids.h"
#include "platform/system/launch.h"
#include "platform/system/message.h"
#include "viewer/sim_control.h"
#include "tests/support/effects_double.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fuzz {

// One scratch folder for the process, made on first use and kept for it.
inline const std::filesystem::path& ScratchDir() {
    static const std::filesystem::path dir = [] {
        char pattern[] = "/tmp/zelfuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made) std::abort();
        setenv("NUV_REGISTRY_FILE", (std::filesystem::path(made) / "registry").c_str(), 1);
        return std::filesystem::path(made);
    }();
    return dir;
}

inline int SwallowText(const std::string&) { return 0; }

// Commands are never started and messages never shown; every input starts
// from an empty viewer state.
inline void BeginInput() {
    ScratchDir();
    SetLaunchHook(SwallowText);
    SetMessageHook(SwallowText);
    nuvsim::ResetViewer();
}

inline std::string WriteLaunchFile(const std::string& text) {
    const std::filesystem::path path = ScratchDir() / "view.zvl";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    nuvsim::SetLaunchFile(path.string());
    return path.string();
}

// A leaked or over-released viewer object is a fault like a crash.
inline void RequireBalanced() {
    if (nuvsim::AllReleased()) return;
    for (const std::string& line : nuvsim::UnbalancedObjects()) std::fprintf(stderr, "unbalanced: %s\n", line.c_str());
    for (const std::string& line : nuvsim::ReferenceErrors()) std::fprintf(stderr, "over-release: %s\n", line.c_str());
    std::abort();
}

// One agent as the viewer holds it.
class Agent {
public:
    Agent() {
        if (CreateAgentObject(nullptr, IID_PPV(&m_agent)) != S_OK) std::abort();
        m_impl = static_cast<CDMAgent*>(m_agent);
    }
    ~Agent() {
        nuvsim::CloseDocuments();
        if (m_agent->Release() != 0) std::abort();
        RequireBalanced();
    }
    Agent(const Agent&) = delete;
    Agent& operator=(const Agent&) = delete;

    HRESULT Resolve(const std::string& path) {
        std::string buffer(path.size() + 1, '\0');
        return static_cast<IAgentPathResolve*>(m_impl)->ResolvePath(path.c_str(), buffer.data(), 0, 0);
    }
    IAgentSession* Session() { return static_cast<IAgentSession*>(m_impl); }
    IAgentNotify* Notifier() { return static_cast<IAgentNotify*>(m_impl); }
    IAgentMarkupSave* Saver() { return static_cast<IAgentMarkupSave*>(m_impl); }

private:
    IDMAgent* m_agent = nullptr;
    CDMAgent* m_impl = nullptr;
};

}  // namespace fuzz
