// The module's entry points, loaded without the COM runtime: the lock count
// that decides unloading, the one cached class factory and its checks.
#include "interfaces/agent_interfaces.h"
#include "interfaces/guids.h"
#include "platform/com/com_ptr.h"
#include "tests/module/agent_module_loader.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

#include <array>
#include <latch>
#include <thread>

namespace {

constexpr BOOL kLock = 1;
constexpr BOOL kUnlock = 0;

// An outer object for aggregation requests; the factory must never call it
// when it refuses them.
struct UncalledOuter final : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override {
        ADD_FAILURE() << "outer object asked";
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

class ModuleEntryPoints : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_module.Loaded()) << m_module.Path();
        ASSERT_NE(m_module.canUnloadNow, nullptr);
        ASSERT_NE(m_module.getClassObject, nullptr);
    }
    HRESULT GetFactory(ComPtr<IClassFactory>& factory) {
        return m_module.getClassObject(CLSID_DMAgent, IID_PPV(factory.put()));
    }
    HRESULT CanUnload() { return m_module.canUnloadNow(); }

    AgentModuleLoader m_module;
};

TEST_F(ModuleEntryPoints, HeldFactoryKeepsTheModuleBusyUntilReleased) {
    EXPECT_HR(S_OK, CanUnload()) << "right after load";
    ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK, GetFactory(factory));
    EXPECT_HR(S_FALSE, CanUnload());
    factory.reset();
    EXPECT_HR(S_OK, CanUnload());
}

TEST_F(ModuleEntryPoints, EveryRequestGetsTheSameFactory) {
    ComPtr<IClassFactory> first;
    ComPtr<IUnknown> second;
    ASSERT_HR(S_OK, GetFactory(first));
    ASSERT_HR(S_OK, m_module.getClassObject(CLSID_DMAgent, IID_PPV(second.put())));
    EXPECT_EQ(static_cast<IUnknown*>(first.get()), second.get());
    first.reset();
    EXPECT_HR(S_FALSE, CanUnload()) << "one client reference is still out";
    second.reset();
    EXPECT_HR(S_OK, CanUnload());
}

TEST_F(ModuleEntryPoints, EightThreadsAtOnceGetOneFactory) {
    constexpr size_t kThreads = 8;
    std::array<ComPtr<IUnknown>, kThreads> factories;
    std::array<HRESULT, kThreads> results{};
    std::latch start(kThreads);
    std::array<std::thread, kThreads> threads;
    for (size_t i = 0; i < kThreads; ++i) {
        threads[i] = std::thread([&, i] {
            start.arrive_and_wait();
            results[i] = m_module.getClassObject(CLSID_DMAgent, IID_PPV(factories[i].put()));
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (size_t i = 0; i < kThreads; ++i) {
        EXPECT_HR(S_OK, results[i]) << i;
        EXPECT_EQ(factories[i].get(), factories[0].get()) << i;
    }
    for (ComPtr<IUnknown>& factory : factories) factory.reset();
    EXPECT_HR(S_OK, CanUnload());
}

TEST_F(ModuleEntryPoints, ServerLocksCountOneEachAndRefuseUnbalancedUnlocks) {
    ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK, GetFactory(factory));
    EXPECT_HR(S_OK, factory->LockServer(kLock));
    EXPECT_HR(S_OK, factory->LockServer(kLock));
    EXPECT_HR(S_OK, factory->LockServer(kUnlock));
    factory.reset();
    EXPECT_HR(S_FALSE, CanUnload()) << "one server lock left";

    ASSERT_HR(S_OK, GetFactory(factory));
    EXPECT_HR(S_OK, factory->LockServer(kUnlock));
    EXPECT_HR(E_UNEXPECTED, factory->LockServer(kUnlock));
    factory.reset();
    EXPECT_HR(S_OK, CanUnload());
}

TEST_F(ModuleEntryPoints, AgentKeepsTheModuleBusyWhileItLives) {
    ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK, GetFactory(factory));
    ComPtr<IUnknown> agent;
    ASSERT_HR(S_OK, factory->CreateInstance(nullptr, IID_PPV(agent.put())));
    ComPtr<IDMAgent> identity;
    EXPECT_HR(S_OK, agent.query(identity));
    factory.reset();
    identity.reset();
    EXPECT_HR(S_FALSE, CanUnload());
    agent.reset();
    EXPECT_HR(S_OK, CanUnload());
}

TEST_F(ModuleEntryPoints, CreateInstanceRefusesBadRequestsWithoutTakingALock) {
    ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK, GetFactory(factory));
    UncalledOuter outer;
    void* out = &outer;
    EXPECT_HR(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, iid_of<IDMAgent>, &out));
    EXPECT_EQ(out, nullptr);
    EXPECT_HR(E_POINTER, factory->CreateInstance(nullptr, iid_of<IUnknown>, nullptr));
    out = &outer;
    EXPECT_HR(E_NOINTERFACE, factory->CreateInstance(nullptr, iid_of<IClassFactory>, &out));
    EXPECT_EQ(out, nullptr);
    factory.reset();
    EXPECT_HR(S_OK, CanUnload()) << "a refused request left a count behind";
}

TEST_F(ModuleEntryPoints, GetClassObjectRefusesBadRequests) {
    void* out = this;
    EXPECT_HR(CLASS_E_CLASSNOTAVAILABLE, m_module.getClassObject(iid_of<IDMAgent>, iid_of<IClassFactory>, &out));
    EXPECT_EQ(out, nullptr);
    EXPECT_HR(E_POINTER, m_module.getClassObject(CLSID_DMAgent, iid_of<IClassFactory>, nullptr));
    out = this;
    EXPECT_HR(E_NOINTERFACE, m_module.getClassObject(CLSID_DMAgent, iid_of<IDMAgent>, &out));
    EXPECT_EQ(out, nullptr);
    EXPECT_HR(S_OK, CanUnload());
}

TEST_F(ModuleEntryPoints, ClientReleasingTooOftenCannotDestroyTheCachedFactory) {
    ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK, GetFactory(factory));
    IClassFactory* raw = factory.detach();
    raw->Release();
    raw->Release();  // one more than this client took
    EXPECT_HR(S_OK, CanUnload());
    ASSERT_HR(S_OK, GetFactory(factory));
    EXPECT_EQ(factory.get(), raw);
    ComPtr<IUnknown> agent;
    EXPECT_HR(S_OK, factory->CreateInstance(nullptr, IID_PPV(agent.put())));
}

}  // namespace
