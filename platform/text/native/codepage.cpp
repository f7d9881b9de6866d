// The native build's ANSI code page is UTF-8 unless a test chose a
// double-byte one (platform/text/native/codepage_double_byte.h). Malformed input
// never stops a conversion: each byte that does not begin a well-formed UTF-8
// sequence, and each unpaired surrogate, becomes U+FFFD, the replacement
// character.
#include "platform/text/codepage.h"

#include "platform/text/ansi_code_page.h"
#include "platform/text/native/ansi_code_page_choice.h"
#include "platform/text/native/codepage_double_byte.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes one code point at text[pos], advancing pos past what was consumed:
// the whole sequence when it is well formed, one byte otherwise.
char32_t DecodeUtf8(const std::string& text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    ++pos;
    if (lead < 0x80) return lead;

    // Sequence length, payload bits of the lead byte and the smallest value
    // the length may carry (anything smaller is an overlong form).
    size_t extra = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return kReplacement;
    }
    if (text.size() - pos < extra) return kReplacement;
    for (size_t i = 0; i < extra; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(b)) return kReplacement;
        value = (value << 6) | (b & 0x3F);
    }
    // Encoded surrogates and values past the Unicode range are malformed too.
    if (value < minimum || value > kMaxCodePoint || IsSurrogate(value)) return kReplacement;
    pos += extra;
    return value;
}

void AppendUtf16(WideString& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<WCHAR>(c));
        return;
    }
    c -= 0x10000;
    out.push_back(static_cast<WCHAR>(0xD800 + (c >> 10)));
    out.push_back(static_cast<WCHAR>(0xDC00 + (c & 0x3FF)));
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

WideString AnsiToWide(const std::string& text) {
    if (AnsiCodePage() != kUtf8CodePage) return DoubleByteToWide(text);
    WideString result;
    result.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) AppendUtf16(result, DecodeUtf8(text, pos));
    return result;
}

std::string WideToCodePage(const WCHAR* text, size_t maxChars, size_t /*units*/) {
    if (AnsiCodePage() != kUtf8CodePage) return WideToDoubleByte(text, maxChars);
    std::string result;
    for (size_t i = 0; i < maxChars && text[i] != 0; ++i) {
        const char32_t unit = text[i];
        char32_t c = unit;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const bool paired = i + 1 < maxChars && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
            if (paired) {
                c = 0x10000 + ((unit - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
                ++i;
            } else {
                c = kReplacement;
            }
        } else if (IsSurrogate(unit)) {
            c = kReplacement;
        }
        AppendUtf8(result, c);
    }
    return result;
}
