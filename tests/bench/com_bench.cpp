// Timing under Wine through the real COM runtime: creating the agent by its
// ProgID, and a whole viewing session on agents made that way. Needs the
// module registered first (regsvr32 ZelDMAgent.dll); see run-bench.sh --wine.
//   zel_com_bench [markups] [rounds]
#include "interfaces/agent_interfaces.h"
#include "interfaces/guids.h"
#include "tests/bench/bench_session.h"
#include "viewer/sim_control.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr wchar_t kProgId[] = L"ZelDMAgent.DMAgent";
constexpr long kDefaultMarkups = 1000;
constexpr int kDefaultRounds = 20;
constexpr int kCreations = 200;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void Row(const char* name, double milliseconds, long calls) {
    std::printf("%-34s %12.3f ms %14ld\n", name, milliseconds, calls);
}

}  // namespace

int main(int argc, char** argv) {
    const long markups = argc > 1 ? std::atol(argv[1]) : kDefaultMarkups;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : kDefaultRounds;
    if (markups < 1 || rounds < 1) {
        std::fprintf(stderr, "usage: zel_com_bench [markups >= 1] [rounds >= 1]\n");
        return 2;
    }
    if (FAILED(CoInitialize(nullptr))) return 1;
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(kProgId, &clsid))) {
        std::fprintf(stderr, "ZelDMAgent.DMAgent is not registered: run regsvr32 on ZelDMAgent.dll first\n");
        CoUninitialize();
        return 1;
    }
    const bench::AgentMaker make = [&clsid](IUnknown** agent) {
        return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(agent));
    };

    bench::Workspace workspace;
    bench::ResetViewer(workspace, nuvsim::kKind2D);
    std::printf("%-34s %15s %14s\n", "benchmark", "time", "viewer calls");

    // The first creation loads the module; the later ones find it loaded.
    std::vector<double> creations;
    bench::StepTimer first;
    for (int i = 0; i < kCreations; ++i) {
        bench::StepTimer timer;
        ComPtr<IUnknown> agent;
        const HRESULT hr = (i == 0 ? first : timer).Measure([&] { return make(agent.put()); });
        if (FAILED(hr)) {
            std::fprintf(stderr, "CoCreateInstance failed: 0x%08lX\n", static_cast<unsigned long>(hr));
            CoUninitialize();
            return 1;
        }
        if (i > 0) creations.push_back(timer.Seconds());
    }
    nuvsim::ClearCallLog();
    {
        ComPtr<IUnknown> agent;
        make(agent.put());
    }
    const long creationCalls = nuvsim::CallCount();
    Row("CoCreateInstance (first)", first.Seconds() * 1e3, creationCalls);
    Row("CoCreateInstance (median)", Median(creations) * 1e3, creationCalls);

    std::vector<double> seconds;
    long calls = 0;
    for (int round = 0; round < rounds; ++round) {
        const bench::SessionResult run = bench::RunSession(make, workspace, markups);
        if (!run.ok) {
            std::fprintf(stderr, "the session failed: %s\n", run.failure.c_str());
            CoUninitialize();
            return 1;
        }
        seconds.push_back(run.seconds);
        calls = run.viewerCalls;
    }
    const std::string name = "Session/" + std::to_string(markups) + " (median)";
    Row(name.c_str(), Median(seconds) * 1e3, calls);
    Row(("Session/" + std::to_string(markups) + " (best)").c_str(),
        *std::min_element(seconds.begin(), seconds.end()) * 1e3, calls);

    nuvsim::ResetViewer();
    CoUninitialize();
    return 0;
}
