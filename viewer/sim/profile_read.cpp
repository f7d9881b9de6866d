#include "viewer/sim/profile_read.h"

#include "platform/com/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/profile_reader.h"
#include "viewer/sim/text_out.h"
#include "viewer/sim/sim_state.h"

namespace nuvsim {

HRESULT ServeProfileRead(const char* operation, LONG reserved, const WCHAR* section, const WCHAR* key,
                         LONG* count, WCHAR* buffer) {
    SIM_CALL_OUT(operation,
                 Join({Number(reserved), QuoteWide(section), QuoteWide(key),
                       count ? Number(*count) : std::string("null")}),
                 GarbageWideText{buffer, count ? *count : 0});
    RETURN_HR_IF(E_POINTER, !count || !buffer);
    RETURN_HR_IF(E_INVALIDARG, !section || !key || *count <= 0);
    const SimState& sim = TheSimState();
    CopyTextOut(ReadProfileText(sim.config.launchFile, section, key), buffer, static_cast<size_t>(*count),
                sim.config.unterminatedProfileReads);
    return S_OK;
}

}  // namespace nuvsim
