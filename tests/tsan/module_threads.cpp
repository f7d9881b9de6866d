// Eight threads at the module's entry points at once: class objects asked
// for, the server locked and unlocked, agents created and released, and the
// unload question asked all the while. Built with -fsanitize=thread by
// run-tsan.sh; the module is loaded the way a COM runtime loads it.
#include "interfaces/agent_interfaces.h"
#include "interfaces/guids.h"
#include "platform/com/com.h"

#include <atomic>
#include <cstdio>
#include <dlfcn.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 300;

using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT (*)();

// The stand-in viewer is single-threaded like the viewer's apartment: the
// calls that reach it (an agent's construction and destruction) take turns,
// while everything the module does on its own runs freely.
std::mutex g_viewerApartment;
std::atomic<int> g_failures{0};

void Fail(const char* what, HRESULT hr) {
    std::fprintf(stderr, "%s failed: 0x%08lx\n", what, static_cast<unsigned long>(hr));
    ++g_failures;
}

void Worker(GetClassObjectFn getClassObject, CanUnloadNowFn canUnloadNow) {
    for (int round = 0; round < kRounds; ++round) {
        IClassFactory* factory = nullptr;
        HRESULT hr = getClassObject(CLSID_DMAgent, IID_PPV(&factory));
        if (FAILED(hr) || !factory) {
            Fail("DllGetClassObject", hr);
            return;
        }
        if (FAILED(hr = factory->LockServer(1))) Fail("LockServer(TRUE)", hr);
        canUnloadNow();
        {
            std::lock_guard<std::mutex> turn(g_viewerApartment);
            IDMAgent* agent = nullptr;
            hr = factory->CreateInstance(nullptr, IID_PPV(&agent));
            if (FAILED(hr) || !agent) Fail("CreateInstance", hr);
            else agent->Release();
        }
        if (canUnloadNow() == S_OK) Fail("DllCanUnloadNow while locked", S_OK);
        if (FAILED(hr = factory->LockServer(0))) Fail("LockServer(FALSE)", hr);
        factory->Release();
        canUnloadNow();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <libZelDMAgent.so>\n", argv[0]);
        return 2;
    }
    void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(dlsym(module, "DllGetClassObject"));
    auto canUnloadNow = reinterpret_cast<CanUnloadNowFn>(dlsym(module, "DllCanUnloadNow"));
    if (!getClassObject || !canUnloadNow) {
        std::fprintf(stderr, "entry points missing\n");
        return 2;
    }
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) threads.emplace_back(Worker, getClassObject, canUnloadNow);
    for (std::thread& thread : threads) thread.join();
    if (canUnloadNow() != S_OK) Fail("DllCanUnloadNow at the end", S_FALSE);
    std::printf("%d threads x %d rounds, %d failure(s)\n", kThreads, kRounds, g_failures.load());
    return g_failures == 0 ? 0 : 1;
}
