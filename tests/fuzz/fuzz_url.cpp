// Form-decoded texts from the PDM front end: no crash, and decoding never
// makes a text longer.
#include "platform/text/url.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string decoded = UrlDecode(text);
    if (decoded.size() > text.size()) std::abort();
    IsHttpLocation(text);
    IsHttpLocation(decoded);
    ReadHexNumber(text);
    return 0;
}
