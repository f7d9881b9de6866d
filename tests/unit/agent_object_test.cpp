// The agent object as a viewer sees it: interface lookup, fixed stubs,
// sinks and the notification codes it answers itself.
#include "agent/agent_factory.h"
#include "agent/dm_agent.h"
#include "interfaces/guids.h"
#include "platform/com/module_context.h"
#include "platform/com/module_lock.h"
#include "tests/support/captured_messages.h"
#include "tests/support/user_messages.h"
#include "tests/support/raw_call.h"
#include "tests/support/recording_sink.h"
#include "tests/support/hresult.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <utility>

namespace {

class AgentObject : public testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        // The refusals' texts come from the string table the test executable carries.
        SetAgentModule(GetModuleHandle(nullptr));
#endif
        ASSERT_HR(S_OK, CreateAgentObject(nullptr, IID_PPV(&agent)));
        notify = static_cast<IAgentNotify*>(static_cast<CDMAgent*>(agent));
    }
    void TearDown() override {
        if (agent) {
            EXPECT_EQ(0u, agent->Release());
        }
    }

    template <typename T>
    T* Query() {
        T* out = nullptr;
        EXPECT_HR(S_OK, agent->QueryInterface(IID_PPV(&out)));
        return out;
    }
    // By identifier alone, as a viewer that holds a table of them asks.
    IUnknown* QueryByIid(const IID& iid) {
        void* out = nullptr;
        EXPECT_HR(S_OK, agent->QueryInterface(iid, &out));
        return static_cast<IUnknown*>(out);
    }

    IDMAgent* agent = nullptr;
    IAgentNotify* notify = nullptr;
};

TEST_F(AgentObject, IdentityIsTheSameForIUnknownAndIDMAgent) {
    IUnknown* unknown = Query<IUnknown>();
    IUnknown* dmAgent = Query<IDMAgent>();
    EXPECT_EQ(unknown, dmAgent);
    EXPECT_EQ(static_cast<IUnknown*>(agent), unknown);
    unknown->Release();
    dmAgent->Release();
}

TEST_F(AgentObject, AnswersItsFourViewerInterfacesAndNothingElse) {
    for (const IID* iid : {&iid_of<IAgentFileOpen>, &iid_of<IAgentPathResolve>, &iid_of<IAgentMarkupSave>, &iid_of<IAgentSession>}) {
        IUnknown* found = QueryByIid(*iid);
        ASSERT_NE(nullptr, found);
        // Every interface leads back to the same identity.
        void* identity = nullptr;
        ASSERT_HR(S_OK, found->QueryInterface(iid_of<IUnknown>, &identity));
        EXPECT_EQ(static_cast<void*>(static_cast<IUnknown*>(agent)), identity);
        static_cast<IUnknown*>(identity)->Release();
        found->Release();
    }
    for (const IID* iid : {&iid_of<IAgentNotify>, &iid_of<IAgentSessionControl>, &iid_of<IStream>, &iid_of<IAgentHelper>}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_HR(E_NOINTERFACE, agent->QueryInterface(*iid, &out));
        EXPECT_EQ(nullptr, out);
    }
}

TEST_F(AgentObject, SessionStubsReturnTheirFixedResultsThroughTheRawTable) {
    auto* session = Query<IAgentSession>();
    EXPECT_HR(S_OK, CallSlot(session, 3, LONG(1), LONG(2), LONG(3), LONG(4), LONG(5)));
    for (int slot : {4, 5, 6, 7, 8, 10, 12, 14}) EXPECT_HR(E_NOTIMPL, CallSlot(session, slot, LONG(7))) << slot;
    EXPECT_HR(S_OK, CallSlot(session, 11, LONG(1), LONG(2)));
    EXPECT_HR(E_NOTIMPL, CallSlot(session, 13, LONG(1), LONG(2)));
    EXPECT_HR(E_NOTIMPL, CallSlot(session, 19, LONG(1), LONG(2)));
    EXPECT_HR(E_NOTIMPL, CallSlot(session, 20, LONG(1), LONG(2), LONG(3)));
    // OpenSessionItem hands the name to the derived agent's hook, which this agent leaves empty.
    EXPECT_HR(E_NOTIMPL, CallSlot(session, 18, "D:\\views\\a.xml"));
    session->Release();
}

#if defined(_WIN32) && defined(__i386__)
TEST_F(AgentObject, EveryOperationPopsExactlyTheArgumentsTheViewerPushes) {
    auto* session = Query<IAgentSession>();
    PendingFileList list{nullptr};
    const char* name = "x.xml";
    const LONG w = 1;
    // Position: the number of 32-bit arguments the viewer pushes.
    EXPECT_EQ(24, BytesPoppedBySlot(session, 3, w, w, w, w, w));
    for (int slot : {4, 5, 6, 7, 8, 9, 10, 12, 14, 22, 23}) EXPECT_EQ(8, BytesPoppedBySlot(session, slot, w)) << slot;
    for (int slot : {11, 13, 19}) EXPECT_EQ(12, BytesPoppedBySlot(session, slot, w, w)) << slot;
    EXPECT_EQ(16, BytesPoppedBySlot(session, 20, w, w, w));
    for (int slot : {15, 16, 17}) EXPECT_EQ(4, BytesPoppedBySlot(session, slot)) << slot;
    EXPECT_EQ(8, BytesPoppedBySlot(session, 18, name));
    EXPECT_EQ(8, BytesPoppedBySlot(session, 21, &list));
    session->Release();

    EXPECT_EQ(24, BytesPoppedBySlot(notify, 3, LONG(0x77), nullptr, w, nullptr, nullptr));
    EXPECT_EQ(8, BytesPoppedBySlot(notify, 4, nullptr));
    EXPECT_EQ(8, BytesPoppedBySlot(notify, 5, nullptr));
    EXPECT_EQ(24, BytesPoppedBySlot(notify, 6, LONG(0x77), nullptr, w, nullptr, nullptr));

    auto* open = Query<IAgentFileOpen>();
    EXPECT_EQ(16, BytesPoppedBySlot(open, 3, name, w, nullptr));
    open->Release();
    auto* resolve = Query<IAgentPathResolve>();
    EXPECT_EQ(20, BytesPoppedBySlot(resolve, 3, nullptr, nullptr, w, w));
    resolve->Release();
    auto* save = Query<IAgentMarkupSave>();
    EXPECT_EQ(8, BytesPoppedBySlot(save, 3, nullptr));
    save->Release();

    auto* control = static_cast<IAgentSessionControl*>(static_cast<CDMAgent*>(agent));
    EXPECT_EQ(4, BytesPoppedBySlot(control, 4));
    EXPECT_EQ(8, BytesPoppedBySlot(control, 5, w));
    EXPECT_EQ(12, BytesPoppedBySlot(control, 6, w, w));
    LONG started = 0;
    EXPECT_EQ(8, BytesPoppedBySlot(control, 7, &started));
}
#endif

TEST_F(AgentObject, SessionControlAnswersIsStartedBeforeAnySession) {
    auto* control = static_cast<IAgentSessionControl*>(static_cast<CDMAgent*>(agent));
    LONG started = 7;
    EXPECT_HR(S_OK, CallSlot(control, 7, &started));
    EXPECT_EQ(0, started);
    EXPECT_HR(S_OK, CallSlot(control, 5, LONG(1)));
    EXPECT_HR(S_OK, CallSlot(control, 6, LONG(1), LONG(2)));
}

TEST_F(AgentObject, OperationsThatNeedASessionFailWithoutOne) {
    auto* session = Query<IAgentSession>();
    EXPECT_HR(E_FAIL, session->LoadDocumentMarkups(1));
    EXPECT_HR(E_FAIL, session->BeginMarkup(5));
    EXPECT_HR(E_FAIL, session->LoadViewList());
    EXPECT_HR(E_FAIL, session->SaveViewList());
    EXPECT_HR(S_OK, session->EndMarkup(0));
    PendingFileList list{nullptr};
    EXPECT_HR(S_OK, session->RemovePendingFiles(&list));
    EXPECT_EQ(nullptr, list.head);
    session->Release();
}

TEST_F(AgentObject, AdviseRegistersEachSinkOnceAndGreetsIt) {
    RecordingSink sink;
    EXPECT_HR(S_OK, CallSlot(notify, 4, static_cast<IAgentNotify*>(&sink)));
    EXPECT_HR(E_FAIL, CallSlot(notify, 4, static_cast<IAgentNotify*>(&sink)));
    ASSERT_EQ((std::vector<LONG>{kNotifyQueryFlag, kNotifyStart}), sink.Codes());
    EXPECT_EQ(static_cast<IUnknown*>(notify), sink.calls[0].sender);
    EXPECT_NE(nullptr, sink.calls[0].output);
    EXPECT_EQ(nullptr, sink.calls[1].output);
    EXPECT_EQ(1, sink.refs);
    EXPECT_HR(S_OK, CallSlot(notify, 5, static_cast<IAgentNotify*>(&sink)));
    EXPECT_EQ(0, sink.refs);
}

TEST_F(AgentObject, UnadviseKeepsTheOrderOfTheRemainingSinks) {
    RecordingSink first, second, third, stranger;
    for (RecordingSink* sink : {&first, &second, &third}) ASSERT_HR(S_OK, notify->Advise(sink));
    EXPECT_HR(E_FAIL, notify->Unadvise(&stranger));
    ASSERT_HR(S_OK, notify->Unadvise(&second));

    static std::vector<int> order;
    order.clear();
    first.onNotify = [](LONG) { order.push_back(1); };
    third.onNotify = [](LONG) { order.push_back(3); };
    EXPECT_HR(S_OK, CallSlot(notify, 6, LONG(77), static_cast<IUnknown*>(nullptr), LONG(5), nullptr, nullptr));
    EXPECT_EQ((std::vector<int>{1, 3}), order);
    EXPECT_EQ(2u, second.calls.size());  // only its greeting
    notify->Unadvise(&first);
    notify->Unadvise(&third);
}

TEST_F(AgentObject, DestructionReleasesTheSinksStillRegistered) {
    RecordingSink sink;
    ASSERT_HR(S_OK, notify->Advise(&sink));
    EXPECT_EQ(1, sink.refs);
    EXPECT_EQ(0u, agent->Release());
    agent = nullptr;
    EXPECT_EQ(0, sink.refs);
}

TEST_F(AgentObject, AnswersTheTwoQueryCodesWithinTheirBytes) {
    LONG version = 0;
    EXPECT_HR(S_OK, CallSlot(notify, 3, LONG(8), static_cast<IUnknown*>(nullptr), LONG(0), nullptr,
                             static_cast<void*>(&version)));
    EXPECT_EQ(256, version);

    unsigned char bytes[4] = {0xAA, 0xBB, 0xCC, 0xDD};
    EXPECT_HR(S_OK, notify->Notify(9, nullptr, 0, nullptr, bytes));
    uint16_t flag = 0;
    std::memcpy(&flag, bytes, sizeof flag);
    EXPECT_EQ(1, flag);
    EXPECT_EQ(0xCC, bytes[2]);
    EXPECT_EQ(0xDD, bytes[3]);
}

TEST_F(AgentObject, DocumentSaveCodesNeedARegisteredDocument) {
    RecordingSink sink;
    ASSERT_HR(S_OK, notify->Advise(&sink));
    sink.calls.clear();
    const CapturedMessages messages;
    DocumentMarkupSave save{12, "C:\\tmp\\gear_1.xml"};
    EXPECT_HR(E_FAIL, notify->Notify(kNotifySaveDocumentMarkupAlt, nullptr, 0, &save, nullptr));
    EXPECT_HR(E_FAIL, notify->Notify(kNotifySaveDocumentMarkup, nullptr, 0, &save, nullptr));
    // None of these is an event for the sinks; each refusal is told.
    EXPECT_THAT(sink.Codes(), testing::IsEmpty());
    const std::string told = UserMessage(IDS_SAVE_UNKNOWN_DOCUMENT);
    EXPECT_THAT(messages.Texts(), testing::ElementsAre(told, told));
    notify->Unadvise(&sink);
}

TEST_F(AgentObject, ViewerEventsFromAnotherSenderAreAnnouncedFirst) {
    RecordingSink sink, sender;
    ASSERT_HR(S_OK, notify->Advise(&sink));
    sink.calls.clear();
    int input = 0, output = 0;
    EXPECT_HR(S_OK, notify->Notify(kNotifyViewerEvent, &sender, 41, &input, &output));
    ASSERT_EQ(2u, sink.calls.size());
    EXPECT_EQ(static_cast<IUnknown*>(notify), sink.calls[0].sender);
    EXPECT_EQ(41, sink.calls[0].value);
    EXPECT_EQ(nullptr, sink.calls[0].input);
    EXPECT_EQ(static_cast<IUnknown*>(&sender), sink.calls[1].sender);
    EXPECT_EQ(&input, sink.calls[1].input);
    EXPECT_EQ(0, sender.refs);

    // The sender's identity is compared with the notification interface, not
    // with the agent's identity: an event the agent sent itself is announced
    // too. From nobody, it simply goes on.
    sink.calls.clear();
    notify->Notify(kNotifyViewerEvent, notify, 1, nullptr, nullptr);
    EXPECT_EQ(2u, sink.calls.size());
    sink.calls.clear();
    notify->Notify(kNotifyViewerEvent, nullptr, 1, nullptr, nullptr);
    EXPECT_EQ(1u, sink.calls.size());
    // Any other code is passed on unchanged.
    sink.calls.clear();
    EXPECT_HR(S_OK, notify->Notify(0x1234, &sender, 3, &input, &output));
    ASSERT_EQ(1u, sink.calls.size());
    EXPECT_EQ(0x1234, sink.calls[0].code);
    notify->Unadvise(&sink);
}

TEST_F(AgentObject, ASinkMayUnadviseItselfWhileNotified) {
    static IAgentNotify* agentNotify;
    static RecordingSink* self;
    RecordingSink sink, other;
    agentNotify = notify;
    self = &sink;
    ASSERT_HR(S_OK, notify->Advise(&sink));
    ASSERT_HR(S_OK, notify->Advise(&other));
    sink.onNotify = [](LONG code) {
        if (code == 0x55) agentNotify->Unadvise(self);
    };
    notify->Fire(0x55, nullptr, 0, nullptr, nullptr);
    EXPECT_EQ(0, sink.refs);
    EXPECT_EQ(0x55, other.calls.back().code);
    notify->Unadvise(&other);
}

TEST_F(AgentObject, TheAgentIsRefusedAsItsOwnSink) {
    RecordingSink sink;
    ASSERT_HR(S_OK, notify->Advise(&sink));
    EXPECT_HR(E_INVALIDARG, notify->Advise(notify));
    // Nothing was registered, so no reference of the agent's on itself, and
    // an event reaches the one real sink once.
    sink.calls.clear();
    EXPECT_HR(S_OK, notify->Fire(0x77, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(1u, sink.calls.size());
    EXPECT_HR(E_FAIL, notify->Unadvise(notify));
    notify->Unadvise(&sink);
}

TEST_F(AgentObject, ASinkMayFireAnotherEventWhileNotified) {
    static IAgentNotify* agentNotify;
    agentNotify = notify;
    RecordingSink sink;
    sink.onNotify = [](LONG code) {
        if (code == 0x55) agentNotify->Notify(0x56, nullptr, 0, nullptr, nullptr);
    };
    ASSERT_HR(S_OK, notify->Advise(&sink));
    sink.calls.clear();
    EXPECT_HR(S_OK, notify->Fire(0x55, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ((std::vector<LONG>{0x55, 0x56}), sink.Codes());
    notify->Unadvise(&sink);
}

}  // namespace

// Agents advised to one another pass an event round and round, and multiply
// it at every round: one Fire ends after a bounded number of notifications,
// however many agents take part, and the next Fire reaches as far again.
TEST(AgentSinkChain, AgentsAdvisedToOneAnotherEndTheirRounds) {
    for (const size_t count : {2u, 3u, 4u, 6u}) {
        std::vector<IDMAgent*> agents(count, nullptr);
        std::vector<IAgentNotify*> notifiers;
        for (IDMAgent*& agent : agents) {
            ASSERT_HR(S_OK, CreateAgentObject(nullptr, IID_PPV(&agent)));
            notifiers.push_back(static_cast<CDMAgent*>(agent));
        }
        RecordingSink watcher;
        ASSERT_HR(S_OK, notifiers[0]->Advise(&watcher));
        for (IAgentNotify* from : notifiers)
            for (IAgentNotify* to : notifiers)
                if (from != to) {
                    ASSERT_HR(S_OK, from->Advise(to)) << count;
                }

        size_t reached[2] = {};
        for (size_t& calls : reached) {
            watcher.calls.clear();
            EXPECT_HR(S_OK, notifiers[0]->Fire(0x77, nullptr, 0, nullptr, nullptr));
            calls = watcher.calls.size();
        }
        EXPECT_GE(reached[0], 1u) << count << " agents";
        EXPECT_LE(reached[0], count == 2 ? 64u : 1025u) << count << " agents";
        EXPECT_EQ(reached[0], reached[1]) << count << " agents";

        for (IAgentNotify* from : notifiers)
            for (IAgentNotify* to : notifiers) from->Unadvise(to);
        EXPECT_HR(S_OK, notifiers[0]->Unadvise(&watcher));
        for (IDMAgent* agent : agents) EXPECT_EQ(0u, agent->Release());
    }
}

// Whoever the agent calls out to may hold its last reference and let it go:
// the agent finishes the call, and only then goes.
class ReleasingSink final : public TestSink {
public:
    HRESULT STDMETHODCALLTYPE Notify(LONG code, IUnknown*, LONG, void*, void*) override {
        codes.push_back(code);
        if (IUnknown* last = std::exchange(agent, nullptr)) {
            last->Release();
            locksAfterRelease = ModuleLockCount();
        }
        return S_OK;
    }
    IUnknown* agent = nullptr;
    LONG locksAfterRelease = -1;
    std::vector<LONG> codes;
};

TEST(AgentLifetime, ASinkThatLetsTheAgentGoLeavesItToFinishTheCall) {
    static RecordingSink sender;
    const struct {
        const char* call;
        void (*run)(IAgentNotify* agent, ReleasingSink& sink);
        std::vector<LONG> codes;
    } cases[] = {
        {"Fire", [](IAgentNotify* a, ReleasingSink&) { a->Fire(0x77, nullptr, 0, nullptr, nullptr); }, {0x77}},
        // The event is announced, then passed on: two calls out.
        {"Notify of a viewer event", [](IAgentNotify* a, ReleasingSink&) { a->Notify(2, &sender, 1, nullptr, nullptr); },
         {2, 2}},
        {"Advise", [](IAgentNotify* a, ReleasingSink& sink) { a->Advise(&sink); }, {kNotifyQueryFlag, kNotifyStart}},
    };
    for (const auto& c : cases) {
        const LONG before = ModuleLockCount();
        IDMAgent* agent = nullptr;
        ASSERT_HR(S_OK, CreateAgentObject(nullptr, IID_PPV(&agent)));
        IAgentNotify* notify = static_cast<CDMAgent*>(agent);
        ReleasingSink sink;
        if (c.codes.front() != kNotifyQueryFlag) {
            ASSERT_HR(S_OK, notify->Advise(&sink));  // all but Advise reach a sink advised before
        }
        sink.codes.clear();
        sink.agent = agent;
        c.run(notify, sink);
        EXPECT_EQ(before + 1, sink.locksAfterRelease) << c.call << ": the agent went during the call";
        EXPECT_EQ(c.codes, sink.codes) << c.call;
        EXPECT_EQ(before, ModuleLockCount()) << c.call << ": the agent outlived the call";
    }
}

TEST(AgentLifetime, EachAgentHoldsTheModuleWhileItLives) {
    const LONG before = ModuleLockCount();
    IUnknown* agent = nullptr;
    ASSERT_HR(S_OK, CreateAgentObject(nullptr, IID_PPV(&agent)));
    EXPECT_EQ(before + 1, ModuleLockCount());
    EXPECT_EQ(0u, agent->Release());
    EXPECT_EQ(before, ModuleLockCount());
}

TEST(AgentLifetime, AFailedLookupAtCreationLeavesNothingBehind) {
    const LONG before = ModuleLockCount();
    void* out = reinterpret_cast<void*>(1);
    EXPECT_HR(E_NOINTERFACE, CreateAgentObject(nullptr, iid_of<IAgentNotify>, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(before, ModuleLockCount());
    EXPECT_HR(CLASS_E_NOAGGREGATION, CreateAgentObject(reinterpret_cast<IUnknown*>(&out), iid_of<IDMAgent>, &out));
    EXPECT_EQ(before, ModuleLockCount());
}

// The outer object is a test sink: it answers IUnknown with itself, refuses
// every other interface and counts its references.
TEST(AgentAggregation, TheAgentsInterfacesSpeakForTheOuterObjectAndItsInnerOneCountsTheAgent) {
    const LONG before = ModuleLockCount();
    RecordingSink outer;
    IUnknown* inner = nullptr;
    ASSERT_HR(S_OK, CreateAgentObject(&outer, iid_of<IUnknown>, reinterpret_cast<void**>(&inner)));
    ASSERT_EQ(0, outer.refs);
    // The inner IUnknown answers IUnknown with itself, on its own count.
    void* self = nullptr;
    ASSERT_HR(S_OK, inner->QueryInterface(iid_of<IUnknown>, &self));
    EXPECT_EQ(static_cast<void*>(inner), self);
    EXPECT_EQ(1u, inner->Release());

    // The agent's interfaces count on the outer object and ask it first;
    // what it refuses, the agent answers.
    IAgentSession* session = nullptr;
    ASSERT_HR(S_OK, inner->QueryInterface(IID_PPV(&session)));
    void* identity = nullptr;
    ASSERT_HR(S_OK, session->QueryInterface(iid_of<IUnknown>, &identity));
    EXPECT_EQ(static_cast<void*>(static_cast<IUnknown*>(&outer)), identity);
    IAgentMarkupSave* save = nullptr;
    ASSERT_HR(S_OK, session->QueryInterface(IID_PPV(&save)));
    EXPECT_EQ(3, outer.refs);
    save->Release();
    session->Release();
    outer.Release();
    EXPECT_EQ(0, outer.refs);

    // Only the inner IUnknown's last release ends the agent.
    EXPECT_EQ(before + 1, ModuleLockCount());
    EXPECT_EQ(0u, inner->Release());
    EXPECT_EQ(before, ModuleLockCount());
}

// A sink that runs the test's code for every notification.
class CallingSink final : public TestSink {
public:
    HRESULT STDMETHODCALLTYPE Notify(LONG code, IUnknown*, LONG, void*, void*) override {
        ++calls;
        if (onNotify) onNotify(code);
        return S_OK;
    }
    std::function<void(LONG)> onNotify;
    int calls = 0;
};

TEST(AgentSinkChain, FireRunsEightDeepAndRefusesTheNinth) {
    IDMAgent* agent = nullptr;
    ASSERT_HR(S_OK, CreateAgentObject(nullptr, IID_PPV(&agent)));
    IAgentNotify* notify = static_cast<CDMAgent*>(agent);
    CallingSink sink;
    ASSERT_HR(S_OK, notify->Advise(&sink));
    std::vector<HRESULT> nested;
    sink.onNotify = [&](LONG) { nested.push_back(notify->Fire(0x77, nullptr, 0, nullptr, nullptr)); };
    sink.calls = 0;
    EXPECT_HR(S_OK, notify->Fire(0x77, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(8, sink.calls);
    // The innermost result comes first: the ninth Fire, refused.
    ASSERT_EQ(8u, nested.size());
    EXPECT_HR(E_FAIL, nested[0]);
    EXPECT_HR(S_OK, nested[1]);
    EXPECT_HR(S_OK, notify->Unadvise(&sink));
    EXPECT_EQ(0u, agent->Release());
}

// The Fire calls inside one outermost Fire deliver 1,024 notifications in
// all; the outermost one's own do not count, and the next outermost Fire
// starts afresh.
TEST(AgentSinkChain, NestedFiresDeliverExactlyTheCap) {
    IDMAgent* agents[2] = {};
    for (IDMAgent*& agent : agents) ASSERT_HR(S_OK, CreateAgentObject(nullptr, IID_PPV(&agent)));
    IAgentNotify* outer = static_cast<CDMAgent*>(agents[0]);
    IAgentNotify* inner = static_cast<CDMAgent*>(agents[1]);
    CallingSink driver, counted, bystander;
    ASSERT_HR(S_OK, outer->Advise(&driver));
    ASSERT_HR(S_OK, outer->Advise(&bystander));
    ASSERT_HR(S_OK, inner->Advise(&counted));
    std::vector<HRESULT> results;
    driver.onNotify = [&](LONG) {
        for (int i = 0; i < 1030; ++i) results.push_back(inner->Fire(0x77, nullptr, 0, nullptr, nullptr));
    };
    for (int round = 0; round < 2; ++round) {
        counted.calls = bystander.calls = 0;
        results.clear();
        EXPECT_HR(S_OK, outer->Fire(0x77, nullptr, 0, nullptr, nullptr));
        EXPECT_EQ(1024, counted.calls) << "round " << round;
        EXPECT_EQ(1, bystander.calls) << "round " << round;
        ASSERT_EQ(1030u, results.size());
        EXPECT_HR(S_OK, results[1023]) << "round " << round;
        EXPECT_HR(E_FAIL, results[1024]) << "round " << round;
    }
    outer->Unadvise(&driver);
    outer->Unadvise(&bystander);
    inner->Unadvise(&counted);
    for (IDMAgent* agent : agents) EXPECT_EQ(0u, agent->Release());
}
