// The launch file as the viewer's settings source reads it: arbitrary INI
// text, values well past the read buffer, into the connection record and on
// through a whole session start.
#include "fuzz_support.h"
#include "pdm/pdm_connection.h"

#include <cstdint>

namespace {

void ReadRecord() {
    ComPtr<IAgentHelper> helper;
    if (FAILED(NUVCoCreateInstance(CLSID_AgentHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IAgentHelper,
                                   helper.put_void())))
        std::abort();
    CDMAgentConnection record;
    if (SUCCEEDED(record.Attach(helper.get()))) record.LoadMarkups();
    if (record.m_nNumMarkups < 0 || record.m_nNumMarkups > kMaxListCount) std::abort();
    if (record.m_nNumParts < 0 || record.m_nNumParts > kMaxListCount) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    fuzz::BeginInput();
    // The first byte picks the document kind, the rest is the file.
    const LONG kind = data[0] % 4;
    const std::string path = fuzz::WriteLaunchFile(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
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
