// Viewer events: the notification codes the agent answers itself, and the
// sinks that every other event is passed on to.
#include "agent/agent_base.h"

#include "pdm/markup_save.h"
#include "platform/com/module_context.h"
#include "platform/com/string_ids.h"
#include "platform/text/strings.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr LONG kVersionAnswer = 0x100;
constexpr uint16_t kFlagAnswer = 1;
// How deep Fire may run inside itself. A sink may fire another event while it
// is notified; agents advised to one another would do so without end, so the
// depth counts the Fire calls of every agent of the module on the thread.
constexpr int kMaxFireNesting = 8;
// How many notifications the Fire calls nested inside one outermost Fire may
// deliver in all: agents advised to one another multiply them at every
// level, and the depth alone would let a few of them run for hours.
constexpr unsigned kMaxNestedNotifications = 1024;

// The Fire calls running on this thread, one inside the other, and the
// notifications the nested ones have delivered.
struct FireChain {
    int depth = 0;
    unsigned nestedNotifications = 0;
};
thread_local FireChain t_fireChain;

// Counts one level of Fire for as long as it lives.
class FireNesting {
public:
    FireNesting() {
        if (t_fireChain.depth++ == 0) t_fireChain.nestedNotifications = 0;
    }
    ~FireNesting() { --t_fireChain.depth; }
    FireNesting(const FireNesting&) = delete;
    FireNesting& operator=(const FireNesting&) = delete;

    // False once the chain has delivered all it may.
    static bool MayNotify() {
        return t_fireChain.depth == 1 || ++t_fireChain.nestedNotifications <= kMaxNestedNotifications;
    }
};
}  // namespace

bool CAgentBase::IsOwnIdentity(IUnknown* object) {
    if (static_cast<void*>(object) == static_cast<void*>(NotifyInterface())) return true;
    ComPtr<IUnknown> theirs;
    ComPtr<IUnknown> mine;
    theirs.receive([&](auto out) { return object->QueryInterface(IID_PPV(out)); });
    mine.receive([&](auto out) { return NotifyInterface()->QueryInterface(IID_PPV(out)); });
    return theirs && theirs.get() == mine.get();
}

HRESULT STDMETHODCALLTYPE CAgentBase::Notify(LONG code, IUnknown* sender, LONG value, void* input, void* output) {
    return Operation("Notify", [&]() -> HRESULT {
        switch (code) {
        case kNotifySaveMarkup:
            return SaveMarkup(static_cast<const char*>(input));
        case kNotifySaveDocumentMarkup:
        case kNotifySaveDocumentMarkupAlt: {
            RETURN_HR_IF_NULL(E_POINTER, input);
            const auto* save = static_cast<const DocumentMarkupSave*>(input);
            if (std::find(m_documents.begin(), m_documents.end(), save->documentHandle) == m_documents.end()) {
                // A save that reaches no PDM is never silent.
                // The path of a document the agent does not know is not read:
                // nothing says it points anywhere.
                return CarryOutSave(
                    SaveDecision::Refusal(IDS_SAVE_UNKNOWN_DOCUMENT, "document " + DecimalText(save->documentHandle)),
                    "");
            }
            return SaveMarkup(save->markupPath);
        }
        case kNotifyQueryVersion: {
            RETURN_HR_IF_NULL(E_POINTER, output);
            const LONG answer = kVersionAnswer;
            std::memcpy(output, &answer, sizeof answer);
            return S_OK;
        }
        case kNotifyQueryFlag: {
            // Only the two bytes of a 16-bit value belong to the caller.
            RETURN_HR_IF_NULL(E_POINTER, output);
            std::memcpy(output, &kFlagAnswer, sizeof kFlagAnswer);
            return S_OK;
        }
        case kNotifyViewerEvent: {
            ComPtr<IUnknown> senderIdentity;
            if (sender &&
                SUCCEEDED(senderIdentity.receive([&](auto out) { return sender->QueryInterface(IID_PPV(out)); })) &&
                static_cast<void*>(senderIdentity.get()) != static_cast<void*>(NotifyInterface())) {
                // Sinks first learn that the event passed through the agent.
                Fire(kNotifyViewerEvent, NotifyInterface(), value, nullptr, nullptr);
            }
            senderIdentity.reset();
            return Fire(kNotifyViewerEvent, sender, value, input, output);
        }
        default:
            Fire(code, sender, value, input, output);
            return S_OK;
        }
    });
}

HRESULT STDMETHODCALLTYPE CAgentBase::Advise(IAgentNotify* sink) {
    return Operation([&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_INVALIDARG, sink);
        // Its own sink, the agent would pass every event to itself for ever, and
        // hold itself alive.
        RETURN_HR_IF(E_INVALIDARG, IsOwnIdentity(sink));
        const bool known = std::any_of(m_sinks.begin(), m_sinks.end(),
                                       [sink](const ComPtr<IAgentNotify>& held) { return held.get() == sink; });
        RETURN_HR_IF(E_FAIL, known);
        m_sinks.push_back(ComPtr<IAgentNotify>::copy(sink));
        LONG answer = 0;
        sink->Notify(kNotifyQueryFlag, NotifyInterface(), 0, nullptr, &answer);
        sink->Notify(kNotifyStart, NotifyInterface(), 0, nullptr, nullptr);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE CAgentBase::Unadvise(IAgentNotify* sink) {
    return Operation([&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_INVALIDARG, sink);
        const auto found = std::find_if(m_sinks.begin(), m_sinks.end(),
                                        [sink](const ComPtr<IAgentNotify>& held) { return held.get() == sink; });
        RETURN_HR_IF(E_FAIL, found == m_sinks.end());
        // Let go of only once the list is whole again: the sink may call back
        // into the agent as it goes.
        const ComPtr<IAgentNotify> erased = std::move(*found);
        m_sinks.erase(found);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE CAgentBase::Fire(LONG code, IUnknown* sender, LONG value, void* input, void* output) {
    return Operation([&]() -> HRESULT {
        RETURN_HR_IF(E_FAIL, t_fireChain.depth >= kMaxFireNesting);
        const FireNesting nesting;
        // A sink may advise or unadvise while it is being notified: walk a copy,
        // which also keeps every sink alive for its call.
        const std::vector<ComPtr<IAgentNotify>> sinks = m_sinks;
        for (const auto& sink : sinks) {
            RETURN_HR_IF(E_FAIL, !FireNesting::MayNotify());
            sink->Notify(code, sender, value, input, output);
        }
        return S_OK;
    });
}
