// A view list restored from agent data the viewer kept: arbitrary blocks,
// entry numbers, names, values and counts, one entry possibly naming this
// launch file so that a plain session picks the block up.
#include "fuzz_support.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

namespace {

// Names the agent looks for, so that most entries mean something to it.
const char* const kNames[] = {
    "[ServerFile]ServerPath", "[ServerFile]ObjectId",  "[ServerFile]ViewMode", "[ServerFile]PDMVendor",
    "[ServerFile]PDM_host",   "[ServerFile]PDM_port",  "[ViewList]NumMarkups", "[ViewList]NumParts",
    "[ViewList]Markup",       "[ViewList]LocalPath",   "[ViewList]object_id",  "[ViewList]MarkupAccess",
    "[ViewList]Part",         "[ViewList]PartPath",    "[ServerFile]",         "[",
};

std::string PickText(FuzzedDataProvider& in, const std::string& launch) {
    switch (in.ConsumeIntegralInRange<int>(0, 4)) {
    case 0: return launch;
    case 1: return std::to_string(in.ConsumeIntegral<int32_t>());
    case 2: {
        std::string name = in.PickValueInArray(kNames);
        return name + std::to_string(in.ConsumeIntegralInRange<int>(-2, 40));
    }
    case 3: return in.PickValueInArray(kNames);
    default: return in.ConsumeRandomLengthString(2100);
    }
}

LONG PickIndex(FuzzedDataProvider& in, LONG small) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange<LONG>(0, small) : in.ConsumeIntegral<LONG>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::BeginInput();
    const std::string launch =
        fuzz::WriteLaunchFile(in.ConsumeBool() ? "[ServerFile]\nViewMode=ViewOnly\n" : "[ServerFile]\n");
    const LONG kind = in.ConsumeIntegralInRange<LONG>(0, 3);
    const LONG second = in.ConsumeIntegralInRange<LONG>(0, 3);
    nuvsim::MapDocumentKey(0, second, PickIndex(in, 3));

    if (in.ConsumeBool()) {
        nuvsim::SetAgentData(GUID_AgentDataOwner, 0, 0, "[ServerFile]ServerPath");
        nuvsim::SetAgentData(GUID_AgentDataOwner, 0, 1, launch);
    }
    const int entries = in.ConsumeIntegralInRange<int>(0, 64);
    for (int i = 0; i < entries && in.remaining_bytes() > 0; ++i) {
        const LONG block = PickIndex(in, 3);
        const LONG entry = PickIndex(in, 40);
        nuvsim::SetAgentData(GUID_AgentDataOwner, block, entry, PickText(in, launch));
    }

    nuvsim::SetDocumentKind(kind);
    {
        fuzz::Agent agent;
        if (SUCCEEDED(agent.Resolve(launch))) {
            agent.Session()->LoadViewList();
            agent.Session()->LoadDocumentMarkups(3);
            agent.Session()->BeginMarkup(second);
            agent.Session()->SaveViewList();
            agent.Session()->LoadViewList();
        }
    }
    return 0;
}
