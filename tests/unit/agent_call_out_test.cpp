// Whoever the agent calls out to may call back in, or let go of the agent's
// last reference: the agent finishes what it was doing on memory that lives,
// and refuses what would pull its lists from under a markup load.
#include "platform/com/module_lock.h"
#include "tests/support/agent_fixture.h"
#include "tests/support/recording_sink.h"

#include <gmock/gmock.h>

#include <utility>

namespace {

const char kLaunchText[] =
    "[ServerFile]\n"
    "ServerPath=D:\\srv\\gear.dwg\n"
    "FileTypeID=PDM.Drawing\n"
    "[ViewList]\n"
    "NumMarkups=2\n"
    "Markup0=D:\\srv\\gear_1.xml\n"
    "MarkupAccess0=read\n"
    "Markup1=D:\\srv\\gear_2.xml\n";

const char* LoadOperation(LONG kind) {
    switch (kind) {
    case nuvsim::kKindPdf: return "IPdfDocument::LoadMarkupFile";
    case nuvsim::kKind2D: return "I2DLayers::LoadMarkupFile";
    default: return "I3DDocument::LoadMarkupFile";
    }
}

// A sink that owns a reference to the agent and gives it back when the agent
// lets go of the sink.
class OwningSink final : public TestSink {
public:
    ULONG STDMETHODCALLTYPE Release() override {
        if (--refs == 0) {
            if (IUnknown* agent = std::exchange(owned, nullptr)) {
                agent->Release();
                locksAfterRelease = ModuleLockCount();
            }
        }
        return static_cast<ULONG>(refs);
    }
    HRESULT STDMETHODCALLTYPE Notify(LONG, IUnknown*, LONG, void*, void*) override { return S_OK; }
    IUnknown* owned = nullptr;
    LONG locksAfterRelease = -1;
};

class CallOut : public QuietSessionTest {
protected:
    // The viewer lets go of the agent: only what it registered with a
    // document keeps it alive now.
    void HandOverLastReference() {
        EXPECT_EQ(1u, m_agent->Release());
        m_agent = nullptr;
    }
};

TEST_F(CallOut, UnadviseOfASinkThatHoldsTheLastReferenceFinishesFirst) {
    const LONG before = ModuleLockCount();
    CreateAgent();
    OwningSink sink;
    ASSERT_HR(S_OK, Session<IAgentNotify>()->Advise(&sink));
    sink.owned = std::exchange(m_agent, nullptr);
    EXPECT_HR(S_OK, m_impl->Unadvise(&sink));
    EXPECT_EQ(before + 1, sink.locksAfterRelease) << "the agent went during the call";
    EXPECT_EQ(before, ModuleLockCount()) << "the agent outlived its last reference";
    m_impl = nullptr;
}

TEST_F(CallOut, StopWhenTheDocumentHoldsTheLastReferenceFinishesFirst) {
    for (const LONG kind : {nuvsim::kKindPdf, nuvsim::kKind2D, nuvsim::kKind3D}) {
        const LONG before = ModuleLockCount();
        ASSERT_HR(S_OK, StartSession(kLaunchText, kind));
        ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(7));
        IAgentSessionControl* control = Session<IAgentSessionControl>();
        HandOverLastReference();
        EXPECT_HR(S_OK, control->Stop()) << "kind " << kind;
        EXPECT_EQ(before, ModuleLockCount()) << "kind " << kind;
        m_impl = nullptr;
        nuvsim::CloseDocuments();
    }
}

TEST_F(CallOut, TheListsCannotBeReplacedWhileMarkupsLoad) {
    for (const LONG kind : {nuvsim::kKindPdf, nuvsim::kKind2D, nuvsim::kKind3D}) {
        ASSERT_HR(S_OK, StartSession(kLaunchText, kind));
        // A copy of the view list for this launch file, which a restore would
        // put in place of the markups being loaded.
        const std::vector<std::string> stored = {"[ServerFile]ServerPath", (m_dir / "view.zvl").string(),
                                                 "[ServerFile]ObjectId",   "OBJ-1",
                                                 "[ViewList]Markup0",      "D:\\other.xml",
                                                 "[ViewList]NumMarkups",   "2"};
        for (size_t i = 0; i < stored.size(); ++i)
            nuvsim::SetAgentData(GUID_AgentDataOwner, 0, static_cast<LONG>(i), stored[i]);

        HRESULT nested[2] = {S_OK, S_OK};
        nuvsim::OnNextCall(LoadOperation(kind), [&] {
            nested[0] = AgentSession()->LoadViewList();
            nested[1] = AgentSession()->Connect();
        });
        ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(7)) << "kind " << kind;
        EXPECT_HR(E_UNEXPECTED, nested[0]) << "LoadViewList, kind " << kind;
        EXPECT_HR(E_UNEXPECTED, nested[1]) << "Connect, kind " << kind;
        EXPECT_EQ(2, nuvsim::CallCount(LoadOperation(kind))) << "kind " << kind;

        // Once the load is over, the list may be restored.
        EXPECT_HR(S_OK, AgentSession()->LoadViewList()) << "kind " << kind;
        nuvsim::CloseDocuments();
        ReleaseAgent();
        nuvsim::ClearCallLog();
    }
}

// The agent's string resources load from its own module whatever operation
// the viewer called and whatever the agent calls out to meanwhile.
TEST_F(CallOut, EveryOperationMakesTheAgentsModuleCurrent) {
    ASSERT_HR(S_OK, StartSession(kLaunchText, nuvsim::kKind2D));
    // Only compared, never used as a module: nothing below loads a string.
    static int ownModule;
    const ResourceModule previous = AgentModule();
    SetAgentModule(&ownModule);
    std::vector<std::string> outside;
    const auto expectOwn = [&](const char* operation) {
        if (CurrentResourceModule() != &ownModule) outside.push_back(operation);
    };

    RecordingSink sink;
    static std::function<void()> onNotify;
    sink.onNotify = [](LONG) { onNotify(); };
    onNotify = [&] { expectOwn("Advise"); };
    EXPECT_HR(S_OK, Session<IAgentNotify>()->Advise(&sink));
    onNotify = [&] { expectOwn("Fire"); };
    Session<IAgentNotify>()->Fire(0x77, nullptr, 0, nullptr, nullptr);
    onNotify = [] {};
    nuvsim::OnNextCall("IAgentHelper::GetMarkupManager", [&] { expectOwn("SaveViewList"); });
    AgentSession()->SaveViewList();
    nuvsim::OnNextCall("IAgentHelper::GetMarkupManager", [&] { expectOwn("LoadViewList"); });
    AgentSession()->LoadViewList();
    EXPECT_HR(S_OK, Session<IAgentNotify>()->Unadvise(&sink));
    EXPECT_THAT(outside, testing::IsEmpty());
    EXPECT_EQ(nullptr, CurrentResourceModule());
    SetAgentModule(previous);
}

}  // namespace
