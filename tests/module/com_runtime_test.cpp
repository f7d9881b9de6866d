// The agent class through the real COM runtime: creation by class and by
// ProgID, and unloading once nothing holds the module.
#ifdef _WIN32

#include "interfaces/agent_interfaces.h"
#include "interfaces/guids.h"
#include "platform/com_ptr.h"
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
        ASSERT_HR(CLSIDFromProgID(progId, &clsid), S_OK);
        EXPECT_EQ(clsid, CLSID_DMAgent) << progId;
    }
    ComPtr<IDMAgent> agent;
    ASSERT_HR(CoCreateInstance(CLSID_DMAgent, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(agent.put())), S_OK);
    ComPtr<IUnknown> identity;
    ASSERT_HR(agent.query(identity), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(agent.get()), identity.get());
}

TEST_F(ComRuntime, UnusedModuleIsUnloadedOnlyOnceNothingHoldsIt) {
    ComPtr<IUnknown> agent;
    ASSERT_HR(CoCreateInstance(CLSID_DMAgent, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(agent.put())), S_OK);
    ASSERT_NE(GetModuleHandleA(kModuleName), nullptr);
    CoFreeUnusedLibraries();
    EXPECT_NE(GetModuleHandleA(kModuleName), nullptr) << "unloaded under a live agent";

    ComPtr<IClassFactory> factory;
    ASSERT_HR(CoGetClassObject(CLSID_DMAgent, CLSCTX_INPROC_SERVER, nullptr, IID_PPV(factory.put())),
              S_OK);
    agent.reset();
    CoFreeUnusedLibraries();
    EXPECT_NE(GetModuleHandleA(kModuleName), nullptr) << "unloaded under a held factory";

    factory.reset();
    CoFreeUnusedLibraries();
    EXPECT_EQ(GetModuleHandleA(kModuleName), nullptr);
}

}  // namespace

#endif
