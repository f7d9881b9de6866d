// The module's entry points, loaded without the COM runtime: the lock count
// that decides unloading, the one cached class factory and its checks.
#include "interfaces/agent_interfaces.h"
#include "interfaces/guids.h"
#include "platform/com_ptr.h"
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
    EXPECT_HR(CanUnload(), S_OK) << "right after load";
    ComPtr<IClassFactory> factory;
    ASSERT_HR(GetFactory(factory), S_OK);
    EXPECT_HR(CanUnload(), S_FALSE);
    factory.reset();
    EXPECT_HR(CanUnload(), S_OK);
}

TEST_F(ModuleEntryPoints, EveryRequestGetsTheSameFactory) {
    ComPtr<IClassFactory> first;
    ComPtr<IUnknown> second;
    ASSERT_HR(GetFactory(first), S_OK);
    ASSERT_HR(m_module.getClassObject(CLSID_DMAgent, IID_PPV(second.put())), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(first.get()), second.get());
    first.reset();
    EXPECT_HR(CanUnload(), S_FALSE) << "one client reference is still out";
    second.reset();
    EXPECT_HR(CanUnload(), S_OK);
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
        EXPECT_HR(results[i], S_OK) << i;
        EXPECT_EQ(factories[i].get(), factories[0].get()) << i;
    }
    for (ComPtr<IUnknown>& factory : factories) factory.reset();
    EXPECT_HR(CanUnload(), S_OK);
}

TEST_F(ModuleEntryPoints, ServerLocksCountOneEachAndRefuseUnbalancedUnlocks) {
    ComPtr<IClassFactory> factory;
    ASSERT_HR(GetFactory(factory), S_OK);
    EXPECT_HR(factory->LockServer(kLock), S_OK);
    EXPECT_HR(factory->LockServer(kLock), S_OK);
    EXPECT_HR(factory->LockServer(kUnlock), S_OK);
    factory.reset();
    EXPECT_HR(CanUnload(), S_FALSE) << "one server lock left";

    ASSERT_HR(GetFactory(factory), S_OK);
    EXPECT_HR(factory->LockServer(kUnlock), S_OK);
    EXPECT_HR(factory->LockServer(kUnlock), E_UNEXPECTED);
    factory.reset();
    EXPECT_HR(CanUnload(), S_OK);
}

TEST_F(ModuleEntryPoints, AgentKeepsTheModuleBusyWhileItLives) {
    ComPtr<IClassFactory> factory;
    ASSERT_HR(GetFactory(factory), S_OK);
    ComPtr<IUnknown> agent;
    ASSERT_HR(factory->CreateInstance(nullptr, IID_PPV(agent.put())), S_OK);
    ComPtr<IDMAgent> identity;
    EXPECT_HR(agent.query(identity), S_OK);
    factory.reset();
    identity.reset();
    EXPECT_HR(CanUnload(), S_FALSE);
    agent.reset();
    EXPECT_HR(CanUnload(), S_OK);
}

TEST_F(ModuleEntryPoints, CreateInstanceRefusesBadRequestsWithoutTakingALock) {
    ComPtr<IClassFactory> factory;
    ASSERT_HR(GetFactory(factory), S_OK);
    UncalledOuter outer;
    void* out = &outer;
    EXPECT_HR(factory->CreateInstance(&outer, iid_of<IDMAgent>, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_HR(factory->CreateInstance(nullptr, iid_of<IUnknown>, nullptr), E_POINTER);
    out = &outer;
    EXPECT_HR(factory->CreateInstance(nullptr, iid_of<IClassFactory>, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    factory.reset();
    EXPECT_HR(CanUnload(), S_OK) << "a refused request left a count behind";
}

TEST_F(ModuleEntryPoints, GetClassObjectRefusesBadRequests) {
    void* out = this;
    EXPECT_HR(m_module.getClassObject(iid_of<IDMAgent>, iid_of<IClassFactory>, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_HR(m_module.getClassObject(CLSID_DMAgent, iid_of<IClassFactory>, nullptr), E_POINTER);
    out = this;
    EXPECT_HR(m_module.getClassObject(CLSID_DMAgent, iid_of<IDMAgent>, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_HR(CanUnload(), S_OK);
}

TEST_F(ModuleEntryPoints, ClientReleasingTooOftenCannotDestroyTheCachedFactory) {
    ComPtr<IClassFactory> factory;
    ASSERT_HR(GetFactory(factory), S_OK);
    IClassFactory* raw = factory.detach();
    raw->Release();
    raw->Release();  // one more than this client took
    EXPECT_HR(CanUnload(), S_OK);
    ASSERT_HR(GetFactory(factory), S_OK);
    EXPECT_EQ(factory.get(), raw);
    ComPtr<IUnknown> agent;
    EXPECT_HR(factory->CreateInstance(nullptr, IID_PPV(agent.put())), S_OK);
}

}  // namespace
