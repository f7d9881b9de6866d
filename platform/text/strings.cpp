#include "platform/text/strings.h"

#include <cstdint>
#include <optional>

namespace {

// Every occurrence of search in the text replaced once, left to right,
// without looking at what the replacements make.
std::string ReplaceEachOnce(const std::string& text, const std::string& search, const std::string& replacement) {
    std::string result;
    result.reserve(text.size());
    size_t from = 0;
    for (size_t at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
        result.append(text, from, at - from);
        result += replacement;
        from = at + search.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

// Replacing the first occurrence and searching again until none is left. No
// occurrence can start earlier than the search text's length before the last
// replacement, so the search resumes there instead of at the start; the
// result is the same. A replacement can still make new occurrences with its
// neighbours; when that feeds on itself far beyond what the text's own
// occurrences explain, the search gives up on rescanning.
std::optional<std::string> ReplaceUntilNoneLeft(std::string text, const std::string& search,
                                                const std::string& replacement) {
    constexpr size_t kSlack = 4096;
    constexpr size_t kStepsPerChar = 64;
    const size_t maxSteps = kStepsPerChar * (text.size() + 1) + kSlack;
    const size_t maxLength = text.size() + (text.size() + 1) * replacement.size() + kSlack;
    size_t from = 0;
    for (size_t steps = 0;; ++steps) {
        const size_t at = text.find(search, from);
        if (at == std::string::npos) return text;
        if (steps == maxSteps) return std::nullopt;
        text.replace(at, search.size(), replacement);
        if (text.size() > maxLength) return std::nullopt;
        from = at + 1 > search.size() ? at + 1 - search.size() : 0;
    }
}

}  // namespace

std::string ReplaceAll(std::string text, const std::string& search, const std::string& replacement) {
    // An empty search text occurs everywhere and a replacement that holds the
    // search text makes a new occurrence each time: searching again from the
    // start would never end with either.
    if (search.empty()) return text;
    if (replacement.find(search) != std::string::npos) return ReplaceEachOnce(text, search, replacement);
    if (std::optional<std::string> result = ReplaceUntilNoneLeft(text, search, replacement)) return *result;
    return ReplaceEachOnce(text, search, replacement);
}

std::string TextBefore(const std::string& text, const std::string& marker) {
    const size_t at = text.find(marker);
    if (at == std::string::npos) return text;
    return text.substr(0, at);
}

std::string TextAfter(const std::string& text, const std::string& marker) {
    const size_t at = text.find(marker);
    if (at == std::string::npos) return std::string();
    return text.substr(at + marker.size());
}

namespace {

// The blanks that the runtime's atoi skips: isspace in the "C" locale.
bool IsAtoiBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

long ParseLeadingInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsAtoiBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude towards the limit and stop there, so that
    // overlong digit strings neither overflow nor wrap into another number.
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude >= limit) {
            magnitude = limit;
            break;
        }
    }
    return static_cast<long>(negative ? -magnitude : magnitude);
}

std::string DecimalText(long value) { return std::to_string(value); }
