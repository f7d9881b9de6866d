// Memory that runs out in the middle of a viewing session: the n-th
// allocation the agent makes fails, for every n along a whole viewing session,
// in each document kind. No exception may reach the viewer: the operation
// that ran out answers E_OUTOFMEMORY, the agent goes on serving the calls
// that follow, and every reference is given back.
#include "agent/agent_factory.h"
#include "agent/dm_agent.h"
#include "interfaces/guids.h"
#include "platform/system/launch.h"
#include "platform/system/message.h"
#include "platform/com/module_lock.h"
#include "tests/alloc/failing_allocator.h"
#include "tests/support/temp_registry.h"
#include "viewer/sim_control.h"
#include "tests/support/hresult.h"
#include "tests/support/viewer_state.h"
#include "tests/support/recording_sink.h"
#include "tests/support/effects_double.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using failing_allocator::Armed;

const char kPdmLaunch[] =
    "[ServerFile]\r\n"
    "ServerPath=D:\\srv\\gear.dwg\r\n"
    "FileTypeID=PDM.Drawing\r\n"
    "session_id=42\r\n"
    "object_id=OBJ-7\r\n"
    "PDMVendor=ExamplePDM\r\n"
    "[ViewList]\r\n"
    "NumMarkups=3\r\n"
    "Markup0=D:\\srv\\gear_1.xml\r\n"
    "MarkupAccess0=read\r\n"
    "Markup1=D:\\srv\\gear_2.xml\r\n"
    "Markup2=http://pdm.example/get?object_id=M%2F2&ext=xml\r\n"
    "DMAgent=DMAgent\r\n"
    "Application=view\r\n";
const char kPlainLaunch[] = "[ServerFile]\r\nViewMode=ViewOnly\r\n";

constexpr LONG kDocument = 21;
constexpr LONG kFirstKey = 5;
constexpr LONG kSecondKey = 6;
constexpr long kMostAllocations = 100000;

// A sink that allocates nothing: it stands for the viewer's.
class CountingSink final : public TestSink {
public:
    HRESULT STDMETHODCALLTYPE Notify(LONG, IUnknown*, LONG, void*, void*) override {
        ++notified;
        return S_OK;
    }

    long notified = 0;
};

int Swallow(const std::string&) { return 0; }

struct Step {
    std::string name;
    HRESULT hr;
    bool ranOut;          // the failing allocation happened during this call
    bool passesEventsOn;  // the call passes an event on and need not report how that went
};

class AllocationFailure : public testing::TestWithParam<LONG> {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("zelalloc-" + std::to_string(GetParam()) + "-" + std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::create_directories(m_dir);
        m_launch = (m_dir / "view.zvl").string();
        SetLaunchHook(Swallow);
        SetMessageHook(Swallow);
        m_locksBefore = ModuleLockCount();
    }
    void TearDown() override {
        SetLaunchHook(nullptr);
        SetMessageHook(nullptr);
        nuvsim::ResetViewer();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    template <typename Call>
    HRESULT Agent(const std::string& name, Call call, bool passesEventsOn = false) {
        const bool before = failing_allocator::Failed();
        HRESULT hr;
        {
            const Armed armed;
            hr = call();
        }
        m_steps.push_back({name, hr, !before && failing_allocator::Failed(), passesEventsOn});
        return hr;
    }

    void ReleaseAgent(IDMAgent* agent) {
        nuvsim::CloseDocuments();
        const Armed armed;
        agent->Release();
    }

    void PresentLaunchFile(const char* text) {
        std::ofstream(m_launch, std::ios::binary | std::ios::trunc) << text;
        nuvsim::SetLaunchFile(m_launch);
    }

    HRESULT Save(CDMAgent* agent, const char* path) {
        switch (GetParam()) {
        case nuvsim::kKindPdf:
            return static_cast<IAgentNotify*>(agent)->Notify(kNotifySaveMarkup, nullptr, 0, const_cast<char*>(path),
                                                             nullptr);
        case nuvsim::kKind2D: return static_cast<IAgentMarkupSave*>(agent)->SaveMarkup(path);
        default: {
            DocumentMarkupSave save{kDocument, path};
            return static_cast<IAgentNotify*>(agent)->Notify(kNotifySaveDocumentMarkup, nullptr, 0, &save, nullptr);
        }
        }
    }

    // Once the session has started, the view list can be saved again after
    // whatever ran out: the agent's lists stayed whole.
    void ExpectUsableAfterwards(CDMAgent* agent, HRESULT resolved) {
        if (SUCCEEDED(resolved) && failing_allocator::Failed()) {
            EXPECT_HR(S_OK, static_cast<IAgentSession*>(agent)->SaveViewList()) << "after running out in " << Where();
        }
    }

    void FirstSession() {
        PresentLaunchFile(kPdmLaunch);
        IDMAgent* created = nullptr;
        if (FAILED(Agent("CreateInstance",
                         [&] { return CreateAgentObject(nullptr, IID_PPV(&created)); })))
            return;
        auto* agent = static_cast<CDMAgent*>(created);
        auto* session = static_cast<IAgentSession*>(agent);
        auto* notify = static_cast<IAgentNotify*>(agent);
        char buffer[MAX_PATH] = {};
        const HRESULT resolved = Agent("ResolvePath", [&] {
            return static_cast<IAgentPathResolve*>(agent)->ResolvePath(m_launch.c_str(), buffer, 0, 0);
        });
        IStream* stream = nullptr;
        Agent("OpenStream", [&] { return static_cast<IAgentFileOpen*>(agent)->OpenStream(m_launch.c_str(), 0, &stream); });
        if (stream) stream->Release();
        Agent("LoadDocumentMarkups", [&] { return session->LoadDocumentMarkups(kDocument); });
        CountingSink sink, sender;
        Agent("Advise", [&] { return notify->Advise(&sink); });
        Agent("Notify (viewer event)", [&] { return notify->Notify(kNotifyViewerEvent, &sender, 1, nullptr, nullptr); },
              true);
        Agent("Notify (passed on)", [&] { return notify->Notify(0x77, &sender, 1, nullptr, nullptr); }, true);
        Agent("BeginMarkup", [&] { return session->BeginMarkup(kFirstKey); });
        Agent("SaveMarkup (writable)", [&] { return Save(agent, "D:\\tmp\\gear_2.xml"); });
        Agent("SaveMarkup (read-only)", [&] { return Save(agent, "D:\\tmp\\gear_1.xml"); });
        Agent("EndMarkup", [&] { return session->EndMarkup(0); });
        Agent("SaveViewList", [&] { return session->SaveViewList(); });
        ExpectUsableAfterwards(agent, resolved);
        Agent("Unadvise", [&] { return notify->Unadvise(&sink); });
        Agent("Stop", [&] { return static_cast<IAgentSessionControl*>(agent)->Stop(); });
        ReleaseAgent(created);
        EXPECT_EQ(0, sink.refs) << Where();
        EXPECT_EQ(0, sender.refs) << Where();
    }

    // The same launch file, now a plain session: the view list comes back
    // from the agent data.
    void RestoringSession() {
        PresentLaunchFile(kPlainLaunch);
        IDMAgent* created = nullptr;
        if (FAILED(Agent("CreateInstance (restoring)",
                         [&] { return CreateAgentObject(nullptr, IID_PPV(&created)); })))
            return;
        auto* agent = static_cast<CDMAgent*>(created);
        auto* session = static_cast<IAgentSession*>(agent);
        char buffer[MAX_PATH] = {};
        const HRESULT resolved = Agent("ResolvePath (restoring)", [&] {
            return static_cast<IAgentPathResolve*>(agent)->ResolvePath(m_launch.c_str(), buffer, 0, 0);
        });
        Agent("LoadViewList", [&] { return session->LoadViewList(); });
        Agent("LoadDocumentMarkups (restoring)", [&] { return session->LoadDocumentMarkups(kDocument); });
        Agent("BeginMarkup (restoring)", [&] { return session->BeginMarkup(kSecondKey); });
        Agent("SaveViewList (restoring)", [&] { return session->SaveViewList(); });
        ExpectUsableAfterwards(agent, resolved);
        ReleaseAgent(created);
    }

    // The session with its n-th allocation failing; false when the session made
    // fewer than n allocations.
    bool RunSession(long n) {
        nuvsim::ResetViewer();
        nuvsim::MapDocumentKey(0, kFirstKey, 0);
        nuvsim::MapDocumentKey(0, kSecondKey, 1);
        nuvsim::SetDocumentKind(GetParam());
        m_steps.clear();
        m_n = n;
        failing_allocator::FailNth(n);
        FirstSession();
        RestoringSession();
        const bool failed = failing_allocator::Failed();
        failing_allocator::FailNth(0);
        return failed;
    }

    std::string Where() const {
        for (const Step& step : m_steps)
            if (step.ranOut) return step.name + " (allocation " + std::to_string(m_n) + ")";
        return "allocation " + std::to_string(m_n);
    }

    void ExpectOutOfMemoryReportedWhereItHappened() {
        int ranOut = 0;
        for (const Step& step : m_steps) {
            if (step.ranOut) {
                ++ranOut;
                const bool reported = step.hr == E_OUTOFMEMORY || (step.passesEventsOn && SUCCEEDED(step.hr));
                EXPECT_TRUE(reported) << step.name << " answered 0x" << std::hex << static_cast<unsigned long>(step.hr)
                                      << " after running out of memory (allocation " << std::dec << m_n << ")";
            } else {
                EXPECT_NOT_HR(E_OUTOFMEMORY, step.hr) << step.name << " reported memory that ran out elsewhere, in "
                                                  << Where();
            }
        }
        EXPECT_EQ(1, ranOut) << "the failing allocation happened outside every operation, in " << Where();
    }

    std::filesystem::path m_dir;
    std::string m_launch;
    TempRegistry m_registry;
    LONG m_locksBefore = 0;
    std::vector<Step> m_steps;
    long m_n = 0;
};

TEST_P(AllocationFailure, EveryAllocationOfASessionMayFail) {
    long n = 1;
    for (; n < kMostAllocations && RunSession(n); ++n) {
        ExpectOutOfMemoryReportedWhereItHappened();
        EXPECT_THAT(ReferenceProblems(), testing::IsEmpty()) << Where();
        EXPECT_EQ(m_locksBefore, ModuleLockCount()) << "an agent outlived the session, in " << Where();
        if (HasFailure()) break;
    }
    // The session without any failure, to know that every allocation was tried.
    std::printf("note: %ld allocations of the agent's along the session, each made to fail in turn\n", n - 1);
    EXPECT_GT(n, 1);
    EXPECT_LT(n, kMostAllocations);
    for (const Step& step : m_steps) EXPECT_NOT_HR(E_OUTOFMEMORY, step.hr) << step.name;
}

std::string KindName(const testing::TestParamInfo<LONG>& info) {
    switch (info.param) {
    case nuvsim::kKindPdf: return "Pdf";
    case nuvsim::kKind2D: return "TwoD";
    default: return "ThreeD";
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, AllocationFailure,
                         testing::Values(LONG{nuvsim::kKindPdf}, LONG{nuvsim::kKind2D}, LONG{nuvsim::kKind3D}),
                         KindName);

}  // namespace
