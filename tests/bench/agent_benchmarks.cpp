// A viewing session, step by step and as a whole, for growing view lists.
// Times are those of the agent's calls only (manual time); each benchmark
// also reports how many calls the agent made into the viewer.
#include "agent/agent_factory.h"
#include "interfaces/guids.h"
#include "pdm/save_policy.h"
#include "pdm/session_log.h"
#include "platform/system/launch.h"
#include "platform/system/message.h"
#include "platform/system/registry_api.h"
#include "tests/bench/bench_session.h"
#include "tests/support/temp_registry.h"
#include "viewer/sim_control.h"
#include "tests/support/effects_double.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <optional>

namespace {

const bench::AgentMaker kMakeAgent = [](IUnknown** agent) {
    return CreateAgentObject(nullptr, IID_PPV(agent));
};

constexpr long kSizes[] = {10, 100, 1000, 10000};
constexpr char kGetAgentString[] = "IMarkupManager::GetAgentString";

// The benchmarks' saves are refused by design; each refusal tells the user,
// which here must neither wait for OK nor print.
int SwallowMessage(const std::string&) { return 0; }

bench::Workspace& TheWorkspace() {
    static bench::Workspace workspace = [] {
        SetMessageHook(SwallowMessage);
        return bench::Workspace();
    }();
    return workspace;
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (const long n : kSizes) b->Arg(n);
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}

void KindsAndSizes(benchmark::internal::Benchmark* b) {
    for (const long kind : {nuvsim::kKindPdf, nuvsim::kKind2D, nuvsim::kKind3D})
        for (const long n : kSizes) b->Args({kind, n});
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}

void Report(benchmark::State& state, long viewerCalls) {
    state.counters["viewer_calls"] = static_cast<double>(viewerCalls);
}

void Fail(benchmark::State& state, const char* what) { state.SkipWithError(what); }

// Attach and LoadMarkups: every value of the launch file through the viewer's settings source.
void BM_LaunchFileRead(benchmark::State& state) {
    const long n = state.range(0);
    bench::Workspace& workspace = TheWorkspace();
    workspace.WriteLaunchFile(workspace.PdmLaunchText(n));
    long calls = 0;
    for (auto _ : state) {
        bench::ResetViewer(workspace, nuvsim::kKind2D);
        bench::Session session(kMakeAgent);
        bench::StepTimer timer;
        nuvsim::ClearCallLog();
        if (FAILED(timer.Measure([&] { return session.Open(workspace.LaunchPath()); }))) return Fail(state, "open");
        calls = nuvsim::CallCount();
        state.SetIterationTime(timer.Seconds());
    }
    Report(state, calls);
}
BENCHMARK(BM_LaunchFileRead)->Apply(Sizes);

void BM_LoadDocumentMarkups(benchmark::State& state) {
    const LONG kind = static_cast<LONG>(state.range(0));
    const long n = state.range(1);
    bench::Workspace& workspace = TheWorkspace();
    workspace.WriteLaunchFile(workspace.PdmLaunchText(n));
    long calls = 0;
    for (auto _ : state) {
        bench::ResetViewer(workspace, kind);
        bench::Session session(kMakeAgent);
        if (FAILED(session.Open(workspace.LaunchPath()))) return Fail(state, "open");
        bench::StepTimer timer;
        nuvsim::ClearCallLog();
        if (FAILED(timer.Measure([&] { return session.Agent()->LoadDocumentMarkups(bench::kDocumentHandle); })))
            return Fail(state, "LoadDocumentMarkups");
        calls = nuvsim::CallCount();
        state.SetIterationTime(timer.Seconds());
    }
    Report(state, calls);
}
BENCHMARK(BM_LoadDocumentMarkups)->ArgNames({"kind", "markups"})->Apply(KindsAndSizes);

// A 2D save of the last markup: the lookup in the markup list and the command
// line, which the launch file makes one the agent refuses to run.
void BM_SaveMarkupLookup(benchmark::State& state) {
    const long n = state.range(0);
    bench::Workspace& workspace = TheWorkspace();
    workspace.WriteLaunchFile(workspace.PdmLaunchText(n));
    bench::ResetViewer(workspace, nuvsim::kKind2D);
    bench::Session session(kMakeAgent);
    if (FAILED(session.Open(workspace.LaunchPath())) ||
        FAILED(session.Agent()->LoadDocumentMarkups(bench::kDocumentHandle)))
        return Fail(state, "session");
    const std::string path = workspace.MarkupPath(n - 1);
    long calls = 0;
    for (auto _ : state) {
        bench::StepTimer timer;
        nuvsim::ClearCallLog();
        if (timer.Measure([&] { return session.SaveMarkup(nuvsim::kKind2D, path); }) != E_FAIL)
            return Fail(state, "the save was not refused");
        calls = nuvsim::CallCount();
        state.SetIterationTime(timer.Seconds());
    }
    Report(state, calls);
}
BENCHMARK(BM_SaveMarkupLookup)->Apply(Sizes);

void BM_SaveViewList(benchmark::State& state) {
    const long n = state.range(0);
    bench::Workspace& workspace = TheWorkspace();
    workspace.WriteLaunchFile(workspace.PdmLaunchText(n));
    bench::ResetViewer(workspace, nuvsim::kKind2D);
    bench::Session session(kMakeAgent);
    if (FAILED(session.Open(workspace.LaunchPath()))) return Fail(state, "open");
    long calls = 0;
    for (auto _ : state) {
        bench::StepTimer timer;
        nuvsim::ClearCallLog();
        if (FAILED(timer.Measure([&] { return session.Agent()->SaveViewList(); }))) return Fail(state, "save");
        calls = nuvsim::CallCount();
        state.SetIterationTime(timer.Seconds());
    }
    Report(state, calls);
}
BENCHMARK(BM_SaveViewList)->Apply(Sizes);

// A fresh agent restores n markups and n/2 parts from the agent data.
void BM_LoadViewList(benchmark::State& state) {
    const long n = state.range(0);
    bench::Workspace& workspace = TheWorkspace();
    workspace.WriteLaunchFile(workspace.PlainLaunchText());
    // No document kind yet: the start leaves the restore to the call measured.
    bench::ResetViewer(workspace, nuvsim::kKindNone);
    const long entries = workspace.StoreViewList(n, n / 2);
    long calls = 0;
    long reads = 0;
    for (auto _ : state) {
        bench::Session session(kMakeAgent);
        if (FAILED(session.Open(workspace.LaunchPath()))) return Fail(state, "open");
        bench::StepTimer timer;
        nuvsim::ClearCallLog();
        if (FAILED(timer.Measure([&] { return session.Agent()->LoadViewList(); }))) return Fail(state, "load");
        calls = nuvsim::CallCount();
        reads = nuvsim::CallCount(kGetAgentString);
        state.SetIterationTime(timer.Seconds());
    }
    Report(state, calls);
    state.counters["stored_entries"] = static_cast<double>(entries);
    state.counters["GetAgentString"] = static_cast<double>(reads);
    state.counters["reads_per_entry"] = static_cast<double>(reads) / static_cast<double>(entries);
}
BENCHMARK(BM_LoadViewList)->Apply(Sizes);

void BM_Session(benchmark::State& state) {
    const long n = state.range(0);
    long calls = 0;
    for (auto _ : state) {
        const bench::SessionResult run = bench::RunSession(kMakeAgent, TheWorkspace(), n);
        if (!run.ok) return state.SkipWithError(run.failure.c_str());
        calls = run.viewerCalls;
        state.SetIterationTime(run.seconds);
    }
    Report(state, calls);
}
BENCHMARK(BM_Session)->Apply(Sizes);

// The same session with the log on: level 1 (sessions and saves: a line per
// markup loaded) and level 2 (also every call of the viewer). The log is
// begun anew before each session; a session of 10000 markups stays below the
// size at which it is renamed.
void BM_SessionWithLog(benchmark::State& state) {
    const long n = state.range(1);
    const std::string path = TheWorkspace().Folder() + "/agent.log";
    UniqueHkey key;
    const DWORD level = static_cast<DWORD>(state.range(0));
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPdmPolicyKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS ||
        RegSetValueExA(key.get(), kLogFileValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1)) != ERROR_SUCCESS ||
        RegSetValueExA(key.get(), kLogLevelValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&level),
                       sizeof level) != ERROR_SUCCESS)
        return Fail(state, "the log policy could not be set");
    long calls = 0;
    for (auto _ : state) {
        std::remove(path.c_str());
        const bench::SessionResult run = bench::RunSession(kMakeAgent, TheWorkspace(), n);
        if (!run.ok) return state.SkipWithError(run.failure.c_str());
        calls = run.viewerCalls;
        state.SetIterationTime(run.seconds);
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPdmPolicyKey);
    std::remove(path.c_str());
    Report(state, calls);
}
BENCHMARK(BM_SessionWithLog)
    ->ArgNames({"level", "markups"})
    ->ArgsProduct({{1, 2}, {10, 100, 1000, 10000}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One log line: what a session pays for each line with the log on, the
// masking of a session identifier included. The file is renamed each time it
// reaches its limit, as in a long session.
constexpr char kLoggedMarkup[] =
    "markup loaded: C:\\PDM\\vault\\BRK-1001\\bracket_review.xml; read-only: access \"read\"";

bool SwitchLogOn(const std::string& path) {
    UniqueHkey key;
    const bool set = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPdmPolicyKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_ALL_ACCESS, nullptr, key.put(), nullptr) == ERROR_SUCCESS &&
                     RegSetValueExA(key.get(), kLogFileValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                    static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS;
    ConfigureSessionLog();
    HideSessionId("S-20240611-0042");
    return set && SessionLogHolds(LogLevel::kSessions);
}

void SwitchLogOff(const std::string& path) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPdmPolicyKey);
    ConfigureSessionLog();
    std::remove(path.c_str());
    std::remove((path + ".1").c_str());
}

void BM_LogLine(benchmark::State& state) {
    const std::string path = TheWorkspace().Folder() + "/lines.log";
    if (!SwitchLogOn(path)) return Fail(state, "the log policy could not be set");
    const std::string event = kLoggedMarkup;
    for (auto _ : state) LogEvent(LogLevel::kSessions, event);
    SwitchLogOff(path);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LogLine)->Unit(benchmark::kNanosecond);

// For an instruction count under callgrind (tests/bench/run-bench.sh):
// writes count lines and nothing else.
int WriteLogLines(long count) {
    const std::string path = TheWorkspace().Folder() + "/lines.log";
    if (!SwitchLogOn(path)) return 1;
    const std::string event = kLoggedMarkup;
    for (long i = 0; i < count; ++i) LogEvent(LogLevel::kSessions, event);
    SwitchLogOff(path);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // BeginMarkup and EndMarkup write the registry: a store of the run's own.
    const TempRegistry registry;
    if (argc == 3 && std::string(argv[1]) == "--log-lines") return WriteLogLines(std::atol(argv[2]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
