// Saving a markup with arbitrary paths and launch-file values: the command
// the agent would start is captured, never run, and must be one the command
// interpreter cannot read as more than one program call.
#include "fuzz_support.h"
#include "pdm/save_command.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

namespace {

constexpr char kInterpreterSpecials[] = "&|<>^%\"\r\n";
int g_launches = 0;

int CheckCommand(const std::string& command) {
    ++g_launches;
    if (command.size() > kMaxCommandLength) std::abort();
    if (command.find_first_of(kInterpreterSpecials) != std::string::npos) std::abort();
    if (command.find('\0') != std::string::npos) std::abort();
    return 0;
}

std::string Value(FuzzedDataProvider& in) {
    // Launch-file values end at a line break; the file reader sees no more.
    std::string value = in.ConsumeRandomLengthString(1300);
    for (char& c : value)
        if (c == '\n' || c == '\r') c = ' ';
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::BeginInput();
    SetLaunchHook(CheckCommand);
    nuvsim::SetDocumentKind(in.ConsumeIntegralInRange<LONG>(0, 3));

    std::string launch = "[ServerFile]\nServerPath=" + Value(in) + "\nsession_id=" + Value(in) +
                         "\n[ViewList]\nDMAgent=" + Value(in) + "\nApplication=" + Value(in) + "\n";
    const int markups = in.ConsumeIntegralInRange<int>(0, 3);
    launch += "NumMarkups=" + std::to_string(markups) + "\n";
    for (int i = 0; i < markups; ++i)
        launch += "Markup" + std::to_string(i) + "=" + Value(in) + "\nMarkupAccess" + std::to_string(i) + "=" +
                  (in.ConsumeBool() ? "read" : Value(in)) + "\n";
    const std::string path = fuzz::WriteLaunchFile(launch);

    fuzz::Agent agent;
    if (FAILED(agent.Resolve(path))) return 0;
    if (in.ConsumeBool()) agent.Session()->LoadDocumentMarkups(3);
    const int saves = in.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < saves; ++i) {
        const std::string markup = in.ConsumeRandomLengthString(1200);
        agent.Saver()->SaveMarkup(markup.c_str());
    }
    return 0;
}
