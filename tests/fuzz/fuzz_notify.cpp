// Notifications with arbitrary codes and arguments. Where the agent reads
// input or writes output they point to real memory of arbitrary content
// (texts terminated, as the viewer's always are); elsewhere they may be null.
#include "fuzz_support.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

namespace {

const char kLaunch[] =
    "[ServerFile]\n"
    "ServerPath=D:\\srv\\gear.dwg\n"
    "session_id=42\n"
    "[ViewList]\n"
    "NumMarkups=2\n"
    "Markup0=D:\\srv\\gear_1.xml\n"
    "MarkupAccess0=read\n"
    "Markup1=D:\\srv\\gear_2.xml\n"
    "DMAgent=DMAgent\n";

const LONG kCodes[] = {kNotifyStart,      kNotifyViewerEvent,        kNotifyQueryVersion,
                       kNotifyQueryFlag,  kNotifySaveMarkup,         kNotifySaveDocumentMarkup,
                       kNotifySaveDocumentMarkupAlt, 1, 3, 0x7FFFFFFF};

// Buffers that stay valid for the whole call, at least 64 bytes each.
struct Arguments {
    std::string text;
    std::vector<unsigned char> raw;
    DocumentMarkupSave save{};
    std::vector<unsigned char> output = std::vector<unsigned char>(64, 0);
};

void* PickInput(FuzzedDataProvider& in, Arguments& args) {
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: return nullptr;
    case 1:
        args.text = in.ConsumeRandomLengthString(1500);
        return args.text.data();
    case 2:
        args.save.documentHandle = in.ConsumeIntegral<LONG>();
        args.text = in.ConsumeRandomLengthString(1500);
        args.save.markupPath = in.ConsumeBool() ? args.text.c_str() : nullptr;
        return &args.save;
    default:
        args.raw = in.ConsumeBytes<unsigned char>(64);
        args.raw.resize(64, 0);
        args.raw.push_back(0);
        return args.raw.data();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::BeginInput();
    nuvsim::SetDocumentKind(in.ConsumeIntegralInRange<LONG>(0, 3));
    const std::string launch = fuzz::WriteLaunchFile(kLaunch);
    fuzz::Agent agent;
    const bool started = SUCCEEDED(agent.Resolve(launch));
    if (started && in.ConsumeBool()) agent.Session()->LoadDocumentMarkups(3);

    const int calls = in.ConsumeIntegralInRange<int>(1, 8);
    for (int i = 0; i < calls && in.remaining_bytes() > 0; ++i) {
        const LONG code = in.ConsumeBool() ? in.PickValueInArray(kCodes) : in.ConsumeIntegral<LONG>();
        const LONG value = in.ConsumeIntegral<LONG>();
        IUnknown* sender = in.ConsumeBool() ? static_cast<IUnknown*>(agent.Notifier()) : nullptr;
        Arguments args;
        void* input = PickInput(in, args);
        void* output = in.ConsumeBool() ? args.output.data() : nullptr;
        agent.Notifier()->Notify(code, sender, value, input, output);
    }
    return 0;
}
