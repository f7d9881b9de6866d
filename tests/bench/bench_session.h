// One viewing session against the stand-in viewer, step by step, for the
// benchmarks: launch files of any size, agent data seeded the way a saved
// view list lays it out, and the agent driven through its interfaces only,
// so that the same steps run on an agent made directly or by the COM runtime.
#pragma once

#include "interfaces/agent_interfaces.h"
#include "platform/com/com_ptr.h"

#include <chrono>
#include <functional>
#include <string>

namespace bench {

// Makes one agent object; the caller owns the reference.
using AgentMaker = std::function<HRESULT(IUnknown** agent)>;

// The document every session opens, and the key its agent data goes by.
inline constexpr LONG kDocumentHandle = 7;
inline constexpr LONG kDocumentKey = 1;

// A folder of its own with the session's launch file in it.
class Workspace {
public:
    Workspace();
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    const std::string& LaunchPath() const { return m_launchPath; }
    // The folder the markups live in: the server file's.
    const std::string& Folder() const { return m_folder; }
    std::string MarkupPath(long n) const;

    // A PDM view list naming markups markups, every other one read-only. Its
    // save command holds a character the agent refuses, so that a save runs
    // the whole lookup but never starts a process.
    std::string PdmLaunchText(long markups) const;
    // A plain viewer session: the view list comes from the agent data.
    std::string PlainLaunchText() const;
    void WriteLaunchFile(const std::string& text) const;

    // Block 0 of the agent data as a save of markups markups and parts parts
    // leaves it. Returns the number of entries written.
    long StoreViewList(long markups, long parts) const;

private:
    std::string m_folder;
    std::string m_launchPath;
};

// Fresh viewer state for one session of the given document kind.
void ResetViewer(const Workspace& workspace, LONG kind);

// One agent and the viewer's side of its session.
class Session {
public:
    explicit Session(const AgentMaker& make);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool Created() const { return m_session.get() != nullptr; }
    IAgentSession* Agent() { return m_session.get(); }
    // The viewer's first call, naming the launch file: the agent starts.
    HRESULT Open(const std::string& launchPath);
    // A save of markup path the way the document's kind saves.
    HRESULT SaveMarkup(LONG kind, const std::string& path);
    // The viewer closes its documents and lets go of the agent.
    void End();

private:
    ComPtr<IUnknown> m_agent;
    ComPtr<IAgentSession> m_session;
};

// Total time of the steps measured; the steps in between do not count.
class StepTimer {
public:
    template <typename Step>
    auto Measure(Step&& step) {
        const auto start = std::chrono::steady_clock::now();
        struct Add {
            StepTimer& timer;
            std::chrono::steady_clock::time_point start;
            ~Add() { timer.m_total += std::chrono::steady_clock::now() - start; }
        } add{*this, start};
        return step();
    }
    double Seconds() const { return std::chrono::duration<double>(m_total).count(); }

private:
    std::chrono::steady_clock::duration m_total{};
};

// A whole viewing session with that many markups: a PDM session on a 2D document (start
// from the launch file, markups into the document, markup mode, one save of
// the last markup, the view list saved), then a plain session under the same
// launch file path (view list restored from the agent data, document loaded,
// view list saved). Only the agent's calls are timed. False when a step
// answered other than a working session answers.
struct SessionResult {
    bool ok = false;
    std::string failure;
    double seconds = 0;
    long viewerCalls = 0;
};
SessionResult RunSession(const AgentMaker& make, const Workspace& workspace, long markups);

}  // namespace bench
