#include "platform/text/codepage.h"

#include <climits>

namespace {

// The conversion functions count in int; longer texts are cut rather than
// handed over with a wrapped length.
int ClampedLength(size_t length) { return length > INT_MAX ? INT_MAX : static_cast<int>(length); }

}  // namespace

WideString AnsiToWide(const std::string& text) {
    if (text.empty()) return {};
    const int length = ClampedLength(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    WideString result(static_cast<size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.data(), needed);
    result.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return result;
}

std::string WideToCodePage(const WCHAR* text, size_t /*maxChars*/, size_t units) {
    const int length = ClampedLength(units);
    const int needed = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string result(static_cast<size_t>(needed), '\0');
    const int written = WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), needed, nullptr, nullptr);
    result.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return result;
}
