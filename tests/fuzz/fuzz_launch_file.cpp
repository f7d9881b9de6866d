// The launch file as the viewer's settings source reads it: arbitrary INI
// text, values well past the read buffer, into the connection record and on
// through a whole session start.
#include "fuzz_support.h"
#include "pdm/launch_file.h"

#include <cstdint>

namespace {

void ReadRecord() {
    ComPtr<IAgentHelper> helper;
    if (FAILED(NUVCoCreateInstance(CLSID_AgentHelper, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(helper.put()))))
        std::abort();
    SessionRecord record;
    LaunchFileReader launchFile;
    if (SUCCEEDED(launchFile.Open(helper.get(), record))) launchFile.ReadMarkups(record);
    if (record.m_nNumMarkups > kMaxListCount) std::abort();
    if (record.m_nNumParts > kMaxListCount) std::abort();
}

// Counts up to the session's limit are all honoured, and every markup the
// count names is a few reads of the whole file: a count of thousands turns
// one input into seconds. The limit itself is covered by the unit tests, so
// inputs whose lines name counts of more than two digits are skipped.
bool NamesALargeCount(const std::string& text) {
    size_t run = 0;
    bool inCount = false;
    for (const char c : text) {
        if (c == '\n' || c == '\r') inCount = false, run = 0;
        else if (c == '=') inCount = true;
        else if (inCount && c >= '0' && c <= '9') {
            if (++run > 2) return true;
        } else run = 0;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    fuzz::BeginInput();
    // Negative counts are kept as read and mean an empty list.
    // The first byte picks the document kind, the rest is the file.
    const LONG kind = data[0] % 4;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (NamesALargeCount(text)) return 0;
    const std::string path = fuzz::WriteLaunchFile(text);
    ReadRecord();
    fuzz::RequireBalanced();

    nuvsim::SetDocumentKind(kind);
    {
        fuzz::Agent agent;
        if (SUCCEEDED(agent.Resolve(path))) {
            agent.Session()->LoadDocumentMarkups(3);
            agent.Session()->BeginMarkup(1);
            agent.Session()->SaveViewList();
        }
    }
    return 0;
}
