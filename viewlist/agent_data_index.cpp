#include "viewlist/agent_data_index.h"

#include "platform/paths.h"

#include <optional>

namespace {

constexpr unsigned char kLastAsciiByte = 0x7F;
// Every name entry begins with it, and it is a character of its own in any
// code page: a text that begins otherwise equals no name.
constexpr char kNameStart = '[';

bool NameLike(const std::string& text) { return !text.empty() && text.front() == kNameStart; }

// The folded form of a plain ASCII text, nothing for any other text: between
// two ASCII texts, equal folded forms are what PathsEqual calls equal.
std::optional<std::string> FoldedAscii(const std::string& text) {
    std::string folded;
    folded.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0 || byte > kLastAsciiByte) return std::nullopt;
        if (c == '/') folded += '\\';
        else if (c >= 'A' && c <= 'Z') folded += static_cast<char>(c - 'A' + 'a');
        else folded += c;
    }
    return folded;
}

}  // namespace

void AgentDataIndex::Add(LONG block, LONG nextEntry, std::string text) {
    const long position = static_cast<long>(m_reads.size());
    // Nothing behind the first empty text is ever compared.
    if (!m_ended && NameLike(text)) {
        if (std::optional<std::string> folded = FoldedAscii(text)) m_byFoldedText.try_emplace(std::move(*folded), position);
        else m_otherTexts.push_back(position);
    }
    if (text.empty()) m_ended = true;
    m_reads.push_back(Read{block, nextEntry, std::move(text)});
}

long AgentDataIndex::FindName(const std::string& name) const {
    const auto matches = [&](long position) { return PathsEqual(m_reads[static_cast<size_t>(position)].text, name); };
    const std::optional<std::string> folded = FoldedAscii(name);
    if (!folded || !NameLike(name)) {
        // Any other name is compared with every text, in order.
        for (long position = 0; position < static_cast<long>(m_reads.size()); ++position) {
            if (m_reads[static_cast<size_t>(position)].text.empty()) return -1;
            if (matches(position)) return position;
        }
        return -1;
    }
    long found = -1;
    if (const auto hit = m_byFoldedText.find(*folded); hit != m_byFoldedText.end() && matches(hit->second))
        found = hit->second;
    for (const long position : m_otherTexts) {
        if (found >= 0 && position > found) break;
        if (matches(position)) return position;
    }
    return found;
}
