// The markup manager: agent data, markup kinds and a second way to the launch file.
#include "platform/com/interface_table.h"
#include "platform/com/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/profile_read.h"
#include "viewer/sim/text_out.h"
#include "viewer/sim/sim_state.h"

#include <algorithm>
#include <cstring>

namespace nuvsim {
namespace {

constexpr HRESULT kNoSuchEntry = static_cast<HRESULT>(0x80070490L);  // element not found

std::string OwnerArg(const GUID* owner) { return owner ? GuidName(*owner) : "null"; }

class MarkupManager final : public SimObject<IMarkupManager> {
public:
    MarkupManager() : SimObject("MarkupManager", "MarkupManager") {}

    HRESULT STDMETHODCALLTYPE GetAgentString(const GUID* owner, LONG block, LONG entry, LONG* size,
                                             char* buffer) override {
        SIM_CALL_OUT("IMarkupManager::GetAgentString",
                     Join({OwnerArg(owner), Number(block), Number(entry), size ? Number(*size) : "null"}),
                     GarbageText{buffer, size ? *size : 0});
        RETURN_HR_IF(E_POINTER, !owner || !size || !buffer);
        RETURN_HR_IF(E_INVALIDARG, *size <= 0);
        const std::string* text = TheSimState().agentData.Find(*owner, block, entry);
        RETURN_HR_IF(kNoSuchEntry, !text);
        CopyTextOut(*text, buffer, static_cast<size_t>(*size), TheSimState().config.unterminatedAgentStrings);
        return S_OK;
    }

    // The size counts the terminator; the text ends at the first zero within it.
    HRESULT STDMETHODCALLTYPE SetAgentString(const GUID* owner, LONG block, LONG entry, LONG* size,
                                             const char* text) override {
        SIM_CALL("IMarkupManager::SetAgentString",
                 Join({OwnerArg(owner), Number(block), Number(entry), size ? Number(*size) : "null", Quote(text)}));
        RETURN_HR_IF(E_POINTER, !owner || !size || !text);
        RETURN_HR_IF(E_INVALIDARG, *size <= 0 || block < 0 || entry < 0);
        const void* end = std::memchr(text, '\0', static_cast<size_t>(*size));
        const size_t length = end ? static_cast<const char*>(end) - text : static_cast<size_t>(*size);
        TheSimState().agentData.Store(*owner, block, entry, std::string(text, length));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE EnableMarkupKind(const char* kindName, LONG flag) override {
        SIM_CALL("IMarkupManager::EnableMarkupKind", Join({Quote(kindName), Number(flag)}));
        RETURN_HR_IF(E_POINTER, !kindName);
        auto& kinds = TheSimState().markupKinds;
        const auto found = std::find_if(kinds.begin(), kinds.end(),
                                        [kindName](const MarkupKindInfo& kind) { return kind.name == kindName; });
        if (found == kinds.end()) {
            kinds.push_back({kindName, flag});
        } else {
            found->flag = flag;
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE ReadProfileValue(LONG reserved, const WCHAR* section, const WCHAR* key, LONG* count,
                                               WCHAR* buffer) override {
        return ServeProfileRead("IMarkupManager::ReadProfileValue", reserved, section, key, count, buffer);
    }

protected:
    void* Lookup(REFIID iid) override {
        return InterfaceTable<Answer<IUnknown, IMarkupManager>, Answer<IMarkupManager>>::Find(this, iid);
    }
};

}  // namespace

Tracked& TheMarkupManager() {
    SimState& sim = TheSimState();
    if (!sim.markupManager) sim.markupManager = sim.Make<MarkupManager>();
    return *sim.markupManager;
}

}  // namespace nuvsim
