// Every operation of the agent called the way a careless viewer might: with
// each pointer argument null, through the raw function tables. Each call
// answers with a clear code and nothing is touched: no layer, registration,
// sink or module lock comes or goes, nothing is started and nothing shown.
// The agent's null-argument cases all live in this table.
#include "platform/system/launch.h"
#include "platform/system/message.h"
#include "platform/com/module_lock.h"
#include "tests/support/agent_fixture.h"
#include "tests/support/raw_call.h"
#include "tests/support/recording_sink.h"
#include "tests/support/hresult.h"
#include "tests/support/effects_double.h"

#include <functional>

namespace {

const char kLaunch[] =
    "[ServerFile]\r\nServerPath=D:\\srv\\gear.dwg\r\nFileTypeID=PDM.Drawing\r\nsession_id=1\r\n"
    "[ViewList]\r\nNumMarkups=1\r\nMarkup0=D:\\srv\\gear_1.xml\r\nDMAgent=DMAgent\r\n";


// kCreation: no table, the call makes an agent of its own.
enum Interface { kAgent, kFileOpen, kPathResolve, kMarkupSave, kNotify, kSession, kControl, kCreation };

struct NullCall {
    const char* name;
    Interface on;
    HRESULT expected;
    std::function<HRESULT(void*)> call;
    bool event = false;  // the agent's sinks hear of it once
};

const GUID kSomeIid = iid_of<IAgentSession>;
char g_name[] = "D:\\srv\\gear.dwg";
char g_buffer[64];
IStream* g_stream;

const std::vector<NullCall>& Calls() {
    static const std::vector<NullCall> calls = {
        {"CreateAgentObject(null out)", kCreation, E_POINTER,
         [](void*) { return CreateAgentObject(nullptr, iid_of<IUnknown>, nullptr); }},
        // QueryInterface with a null out pointer, on every table.
        {"IDMAgent::QueryInterface", kAgent, E_POINTER,
         [](void* p) { return CallSlot(p, 0, &kSomeIid, static_cast<void**>(nullptr)); }},
        {"IAgentFileOpen::QueryInterface", kFileOpen, E_POINTER,
         [](void* p) { return CallSlot(p, 0, &kSomeIid, static_cast<void**>(nullptr)); }},
        {"IAgentPathResolve::QueryInterface", kPathResolve, E_POINTER,
         [](void* p) { return CallSlot(p, 0, &kSomeIid, static_cast<void**>(nullptr)); }},
        {"IAgentMarkupSave::QueryInterface", kMarkupSave, E_POINTER,
         [](void* p) { return CallSlot(p, 0, &kSomeIid, static_cast<void**>(nullptr)); }},
        {"IAgentNotify::QueryInterface", kNotify, E_POINTER,
         [](void* p) { return CallSlot(p, 0, &kSomeIid, static_cast<void**>(nullptr)); }},
        {"IAgentSession::QueryInterface", kSession, E_POINTER,
         [](void* p) { return CallSlot(p, 0, &kSomeIid, static_cast<void**>(nullptr)); }},
        {"IAgentSessionControl::QueryInterface", kControl, E_POINTER,
         [](void* p) { return CallSlot(p, 0, &kSomeIid, static_cast<void**>(nullptr)); }},
        {"OpenStream(null name)", kFileOpen, E_POINTER,
         [](void* p) { return CallSlot(p, 3, static_cast<const char*>(nullptr), LONG{0}, &g_stream); }},
        {"OpenStream(null out)", kFileOpen, E_POINTER,
         [](void* p) { return CallSlot(p, 3, static_cast<const char*>(g_name), LONG{0}, static_cast<IStream**>(nullptr)); }},
        {"ResolvePath(null name)", kPathResolve, E_POINTER,
         [](void* p) { return CallSlot(p, 3, static_cast<const char*>(nullptr), g_buffer, LONG{0}, LONG{0}); }},
        {"ResolvePath(null buffer)", kPathResolve, E_POINTER,
         [](void* p) { return CallSlot(p, 3, static_cast<const char*>(g_name), static_cast<char*>(nullptr), LONG{0}, LONG{0}); }},
        {"SaveMarkup(null path)", kMarkupSave, E_POINTER,
         [](void* p) { return CallSlot(p, 3, static_cast<const char*>(nullptr)); }},
        {"Notify(save markup, null input)", kNotify, E_POINTER,
         [](void* p) { return CallSlot(p, 3, LONG{kNotifySaveMarkup}, static_cast<IUnknown*>(nullptr), LONG{0}, static_cast<void*>(nullptr), static_cast<void*>(nullptr)); }},
        {"Notify(document save, null input)", kNotify, E_POINTER,
         [](void* p) { return CallSlot(p, 3, LONG{kNotifySaveDocumentMarkup}, static_cast<IUnknown*>(nullptr), LONG{0}, static_cast<void*>(nullptr), static_cast<void*>(nullptr)); }},
        {"Notify(document save alt, null input)", kNotify, E_POINTER,
         [](void* p) { return CallSlot(p, 3, LONG{kNotifySaveDocumentMarkupAlt}, static_cast<IUnknown*>(nullptr), LONG{0}, static_cast<void*>(nullptr), static_cast<void*>(nullptr)); }},
        {"Notify(query version, null output)", kNotify, E_POINTER,
         [](void* p) { return CallSlot(p, 3, LONG{kNotifyQueryVersion}, static_cast<IUnknown*>(nullptr), LONG{0}, static_cast<void*>(nullptr), static_cast<void*>(nullptr)); }},
        {"Notify(query flag, null output)", kNotify, E_POINTER,
         [](void* p) { return CallSlot(p, 3, LONG{kNotifyQueryFlag}, static_cast<IUnknown*>(nullptr), LONG{0}, static_cast<void*>(nullptr), static_cast<void*>(nullptr)); }},
        {"Notify(viewer event, null sender)", kNotify, S_OK,
         [](void* p) { return CallSlot(p, 3, LONG{kNotifyViewerEvent}, static_cast<IUnknown*>(nullptr), LONG{0}, static_cast<void*>(nullptr), static_cast<void*>(nullptr)); },
         true},
        {"Notify(start, all null)", kNotify, S_OK,
         [](void* p) { return CallSlot(p, 3, LONG{kNotifyStart}, static_cast<IUnknown*>(nullptr), LONG{0}, static_cast<void*>(nullptr), static_cast<void*>(nullptr)); },
         true},
        {"Advise(null)", kNotify, E_INVALIDARG,
         [](void* p) { return CallSlot(p, 4, static_cast<IAgentNotify*>(nullptr)); }},
        {"Unadvise(null)", kNotify, E_INVALIDARG,
         [](void* p) { return CallSlot(p, 5, static_cast<IAgentNotify*>(nullptr)); }},
        {"Fire(all null)", kNotify, S_OK,
         [](void* p) { return CallSlot(p, 6, LONG{kNotifyViewerEvent}, static_cast<IUnknown*>(nullptr), LONG{0}, static_cast<void*>(nullptr), static_cast<void*>(nullptr)); },
         true},
        {"OpenSessionItem(null)", kSession, E_POINTER,
         [](void* p) { return CallSlot(p, 18, static_cast<const char*>(nullptr)); }},
        {"RemovePendingFiles(null)", kSession, E_POINTER,
         [](void* p) { return CallSlot(p, 21, static_cast<PendingFileList*>(nullptr)); }},
        {"IsStarted(null)", kControl, E_POINTER,
         [](void* p) { return CallSlot(p, 7, static_cast<LONG*>(nullptr)); }},
    };
    return calls;
}

class NullArguments : public QuietSessionTest, public testing::WithParamInterface<bool> {
protected:
    void* Table(Interface on) {
        switch (on) {
        case kAgent: return m_agent;
        case kCreation: return nullptr;
        case kFileOpen: return Session<IAgentFileOpen>();
        case kPathResolve: return Session<IAgentPathResolve>();
        case kMarkupSave: return Session<IAgentMarkupSave>();
        case kNotify: return Session<IAgentNotify>();
        case kSession: return Session<IAgentSession>();
        default: return Session<IAgentSessionControl>();
        }
    }

    static inline int s_launches = 0;
    static inline int s_messages = 0;
    RecordingSink m_sink;  // outlives the agent, which may still hold it
};

// Before the session starts and inside a started one.
TEST_P(NullArguments, EveryPointerNullGivesAClearCode) {
    if (GetParam()) {
        ASSERT_HR(S_OK, StartSession(kLaunch, nuvsim::kKindPdf));
        ASSERT_HR(S_OK, AgentSession()->LoadDocumentMarkups(5));
    } else {
        CreateAgent();
    }
    ASSERT_HR(S_OK, Session<IAgentNotify>()->Advise(&m_sink));
    m_sink.calls.clear();
    s_launches = s_messages = 0;
    SetLaunchHook([](const std::string&) {
        ++s_launches;
        return 0;
    });
    SetMessageHook([](const std::string&) {
        ++s_messages;
        return 0;
    });
    const LONG locks = ModuleLockCount();
    const std::vector<nuvsim::DocumentInfo> before = nuvsim::Documents();
    for (const NullCall& call : Calls()) {
        g_stream = nullptr;
        const size_t heard = m_sink.calls.size();
        EXPECT_HR(call.expected, call.call(Table(call.on))) << call.name;
        EXPECT_EQ(nullptr, g_stream) << call.name;
        EXPECT_EQ(heard + (call.event ? 1 : 0), m_sink.calls.size()) << call.name << ": what the sinks heard";
    }
    EXPECT_EQ(0, s_launches) << "programs started";
    EXPECT_EQ(0, s_messages) << "messages shown";
    EXPECT_EQ(locks, ModuleLockCount());
    // The sink is still registered, once.
    EXPECT_HR(S_OK, Session<IAgentNotify>()->Unadvise(&m_sink));
    EXPECT_HR(E_FAIL, Session<IAgentNotify>()->Unadvise(&m_sink));
    // Nothing was loaded, registered or dropped by the refused calls.
    const std::vector<nuvsim::DocumentInfo> after = nuvsim::Documents();
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].layers.size(), after[i].layers.size());
        EXPECT_EQ(before[i].sinkRegistrations, after[i].sinkRegistrations);
    }
}

INSTANTIATE_TEST_SUITE_P(Agent, NullArguments, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Started") : std::string("NotStarted");
                         });

}  // namespace
