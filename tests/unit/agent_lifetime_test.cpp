// How long an agent lives: as long as anyone holds a reference, the viewer's
// helper included when it keeps the agent it is given, and exactly once
// however its last holders behave while it is torn down.
#include "agent/agent_factory.h"
#include "agent/dm_agent.h"
#include "interfaces/guids.h"
#include "platform/com/module_lock.h"
#include "viewer/sim_control.h"
#include "tests/support/hresult.h"
#include "tests/support/viewer_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

class AgentLifetimeWithHelper : public testing::Test {
protected:
    void SetUp() override {
        nuvsim::ResetViewer();
        m_locksBefore = ModuleLockCount();
    }
    void TearDown() override {
        EXPECT_EQ(m_locksBefore, ModuleLockCount()) << "an agent is still alive, or died twice";
        EXPECT_THAT(ReferenceProblems(), testing::IsEmpty());
        nuvsim::ResetViewer();
    }

    IDMAgent* CreateAgent(bool helperKeepsAgent) {
        nuvsim::Config config = nuvsim::GetConfig();
        config.helperKeepsAgent = helperKeepsAgent;
        nuvsim::SetConfig(config);
        IDMAgent* agent = nullptr;
        EXPECT_HR(S_OK, CreateAgentObject(nullptr, IID_PPV(&agent)));
        EXPECT_EQ(1, nuvsim::RegisterAgentCalls());
        return agent;
    }

    LONG m_locksBefore = 0;
};

TEST_F(AgentLifetimeWithHelper, AHelperThatKeepsTheAgentKeepsItAliveAfterTheViewersRelease) {
    IDMAgent* agent = CreateAgent(true);
    ASSERT_NE(nullptr, agent);
    EXPECT_EQ(1u, agent->Release());

    // The helper may still use what it kept.
    IUnknown* identity = nullptr;
    ASSERT_HR(S_OK, nuvsim::RegisteredAgent()->QueryInterface(IID_PPV(&identity)));
    EXPECT_EQ(static_cast<IUnknown*>(agent), identity);
    identity->Release();
    EXPECT_EQ(m_locksBefore + 1, ModuleLockCount());

    // Its release is the last one: the agent dies and lets go of the helper.
    EXPECT_EQ(0u, nuvsim::ReleaseKeptAgents());
}

TEST_F(AgentLifetimeWithHelper, AHelperThatKeepsTheAgentMayLetGoFirst) {
    IDMAgent* agent = CreateAgent(true);
    ASSERT_NE(nullptr, agent);
    EXPECT_EQ(1u, nuvsim::ReleaseKeptAgents());
    EXPECT_EQ(0u, agent->Release());
}

TEST_F(AgentLifetimeWithHelper, AHelperThatKeepsNothingLeavesTheViewerTheLastReference) {
    IDMAgent* agent = CreateAgent(false);
    ASSERT_NE(nullptr, agent);
    EXPECT_EQ(0u, agent->Release());
    EXPECT_EQ(0u, nuvsim::ReleaseKeptAgents());
}

// A sink that gives the agent back one reference too many when the agent
// lets go of it, and another that takes and drops one: both while the agent
// is being torn down.
class TeardownSink final : public IAgentNotify {
public:
    TeardownSink(IUnknown* agent, bool stray) : m_agent(agent), m_stray(stray) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        if (--m_refs == 0) {
            if (!m_stray) m_agent->AddRef();
            m_agent->Release();
        }
        return static_cast<ULONG>(m_refs);
    }
    HRESULT STDMETHODCALLTYPE Notify(LONG, IUnknown*, LONG, void*, void*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Advise(IAgentNotify*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(IAgentNotify*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Fire(LONG, IUnknown*, LONG, void*, void*) override { return E_NOTIMPL; }

private:
    IUnknown* m_agent;
    bool m_stray;
    long m_refs = 0;
};

TEST_F(AgentLifetimeWithHelper, ReleasesDuringTeardownNeverDestroyTheAgentTwice) {
    IDMAgent* agent = CreateAgent(false);
    ASSERT_NE(nullptr, agent);
    IAgentNotify* notify = static_cast<CDMAgent*>(agent);

    TeardownSink balanced(agent, false), stray(agent, true);
    ASSERT_HR(S_OK, notify->Advise(&balanced));
    ASSERT_HR(S_OK, notify->Advise(&stray));
    EXPECT_EQ(0u, agent->Release());
}

}  // namespace
