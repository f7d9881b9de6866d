// The agent class through the real COM runtime: creation by class and by
// ProgID, and unloading once nothing holds the module.

#include "interfaces/agent_interfaces.h"
#include "interfaces/guids.h"
#include "platform/com/com_ptr.h"
#include "tests/module/regsvr32_runner.h"
#include "tests/support/guid_text.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kModuleName = "ZelDMAgent.dll";

class ComRuntime : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RunRegsvr32(false), 0);
        ASSERT_HR_SUCCEEDED(CoInitialize(nullptr));
    }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(ComRuntime, CreatesTheAgentByClassAndByEitherProgId) {
    for (const wchar_t* progId : {L"ZelDMAgent.DMAgent", L"ZelDMAgent.DMAgent.1"}) {
        CLSID clsid{};
        ASSERT_HR(S_OK, CLSIDFromProgID(progId, &clsid));
        EXPECT_EQ(clsid, CLSID_DMAgent) << progId;
    }
    ComPtr<IDMAgent> agent;
    ASSERT_HR(S_OK, CoCreateInstance(CLSID_DMAgent, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(agent.put())));
    ComPtr<IUnknown> identity;
    ASSERT_HR(S_OK, agent.query(identity));
    EXPECT_EQ(static_cast<IUnknown*>(agent.get()), identity.get());
}

TEST_F(ComRuntime, UnusedModuleIsUnloadedOnlyOnceNothingHoldsIt) {
    ComPtr<IUnknown> agent;
    ASSERT_HR(S_OK, CoCreateInstance(CLSID_DMAgent, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(agent.put())));
    ASSERT_NE(GetModuleHandleA(kModuleName), nullptr);
    CoFreeUnusedLibraries();
    EXPECT_NE(GetModuleHandleA(kModuleName), nullptr) << "unloaded under a live agent";

    ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK, CoGetClassObject(CLSID_DMAgent, CLSCTX_INPROC_SERVER, nullptr, IID_PPV(factory.put())));
    agent.reset();
    CoFreeUnusedLibraries();
    EXPECT_NE(GetModuleHandleA(kModuleName), nullptr) << "unloaded under a held factory";

    factory.reset();
    CoFreeUnusedLibraries();
    EXPECT_EQ(GetModuleHandleA(kModuleName), nullptr);
}

}  // namespace
