#include "viewer/sim/wide_text.h"

namespace nuvsim {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Length of the sequence that starts with lead and the bits it contributes.
size_t SequenceLength(unsigned char lead, char32_t* bits) {
    if (lead < 0x80) return *bits = lead, 1;
    if (lead >= 0xC2 && lead <= 0xDF) return *bits = lead & 0x1F, 2;
    if (lead >= 0xE0 && lead <= 0xEF) return *bits = lead & 0x0F, 3;
    if (lead >= 0xF0 && lead <= 0xF4) return *bits = lead & 0x07, 4;
    return 0;
}

void AppendCodePoint(WideText& out, char32_t point) {
    if (point < 0x10000) {
        out += static_cast<WCHAR>(point);
        return;
    }
    point -= 0x10000;
    out += static_cast<WCHAR>(0xD800 + (point >> 10));
    out += static_cast<WCHAR>(0xDC00 + (point & 0x3FF));
}

}  // namespace

WideText AnsiToWideText(const std::string& text) {
    WideText out;
    for (size_t i = 0; i < text.size();) {
        char32_t point = 0;
        const size_t length = SequenceLength(static_cast<unsigned char>(text[i]), &point);
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            point = (point << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past the range are not text.
        valid = valid && !(length == 3 && point < 0x800) && !(length == 4 && point < 0x10000) &&
                !(point >= 0xD800 && point <= 0xDFFF) && point <= 0x10FFFF;
        AppendCodePoint(out, valid ? point : kReplacement);
        i += valid ? length : 1;
    }
    return out;
}

}  // namespace nuvsim
