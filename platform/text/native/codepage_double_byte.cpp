#include "platform/text/native/codepage_double_byte.h"

#include "platform/text/ansi_code_page.h"

namespace {
constexpr char kNoCharacter = '?';
constexpr unsigned kByteBits = 8;
constexpr unsigned kByteMask = 0xFF;
}  // namespace

WideString DoubleByteToWide(const std::string& text) {
    WideString result;
    result.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const auto first = static_cast<unsigned char>(text[at]);
        if (CharacterLength(text, at) == 2) {
            const auto second = static_cast<unsigned char>(text[at + 1]);
            result.push_back(static_cast<WCHAR>((first << kByteBits) | second));
            at += 2;
        } else {
            result.push_back(static_cast<WCHAR>(first));
            ++at;
        }
    }
    return result;
}

std::string WideToDoubleByte(const WCHAR* text, size_t maxChars) {
    std::string result;
    if (text == nullptr) return result;
    for (size_t i = 0; i < maxChars && text[i] != 0; ++i) {
        const unsigned unit = text[i];
        if (unit <= kByteMask) {
            result.push_back(static_cast<char>(unit));
            continue;
        }
        const auto first = static_cast<unsigned char>(unit >> kByteBits);
        const auto second = static_cast<unsigned char>(unit & kByteMask);
        if (IsLeadByte(first) && IsTrailByte(second)) {
            result.push_back(static_cast<char>(first));
            result.push_back(static_cast<char>(second));
        } else {
            result.push_back(kNoCharacter);
        }
    }
    return result;
}
