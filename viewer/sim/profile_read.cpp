#include "viewer/sim/profile_read.h"

#include "platform/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/profile_reader.h"
#include "viewer/sim/world.h"

#include <algorithm>

namespace nuvsim {
namespace {

// Fills the rest of an unterminated buffer, so that a reader that looks for
// the terminator runs into text, not zeros.
constexpr WCHAR kFiller = u'#';

}  // namespace

HRESULT ServeProfileRead(const char* operation, LONG reserved, const WCHAR* section, const WCHAR* key,
                         LONG* count, WCHAR* buffer) {
    SIM_CALL_OUT(operation,
                 Join({Number(reserved), QuoteWide(section), QuoteWide(key),
                       count ? Number(*count) : std::string("null")}),
                 JunkWideText{buffer, count ? *count : 0});
    RETURN_HR_IF(E_POINTER, !count || !buffer);
    RETURN_HR_IF(E_INVALIDARG, !section || !key || *count <= 0);
    const World& world = TheWorld();
    const WideText value = ReadProfileText(world.config.launchFile, section, key);
    const size_t room = static_cast<size_t>(*count);
    if (world.config.unterminatedProfileReads) {
        const size_t length = std::min(value.size(), room);
        std::copy_n(value.data(), length, buffer);
        std::fill(buffer + length, buffer + room, kFiller);
        return S_OK;
    }
    const size_t length = std::min(value.size(), room - 1);
    std::copy_n(value.data(), length, buffer);
    buffer[length] = 0;
    return S_OK;
}

}  // namespace nuvsim
