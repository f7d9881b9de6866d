#include "viewlist/agent_data_index.h"

#include "platform/text/ascii_fold.h"
#include "platform/text/paths.h"

#include <algorithm>
#include <optional>

namespace {

constexpr unsigned char kLastAsciiByte = 0x7F;
// Every name entry begins with it, and it is a character of its own in any
// code page: a text that begins otherwise equals no name.
constexpr char kNameStart = '[';

bool NameLike(const std::string& text) { return !text.empty() && text.front() == kNameStart; }

// Names and values alternate from entry 0 on: a value stands at every odd
// position, and is never taken for a name however it reads.
bool NamePosition(long position) { return position % 2 == 0; }

unsigned char Folded(char c) { return c == '/' ? '\\' : AsciiFold(static_cast<unsigned char>(c)); }

// A hash of the folded form of a plain ASCII text, nothing for any other
// text: between two ASCII texts, equal folded forms are what PathsEqual calls
// equal.
std::optional<uint64_t> FoldedHash(const std::string& text) {
    uint64_t hash = 1469598103934665603ull;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0 || byte > kLastAsciiByte) return std::nullopt;
        hash = (hash ^ Folded(c)) * 1099511628211ull;
    }
    return hash;
}

// PathsEqual for two texts FoldedHash takes, without its care for
// double-byte characters that neither holds. A name is mostly looked up as it
// was written: the same bytes are tried first.
bool FoldedEqual(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           (a == b ||
            std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Folded(x) == Folded(y); }));
}

constexpr size_t kFirstTableSize = 64;

}  // namespace

void AgentDataIndex::Add(LONG block, LONG nextEntry, std::string text) {
    const long position = static_cast<long>(m_reads.size());
    const bool indexed = !m_ended && NamePosition(position) && NameLike(text);
    if (text.empty()) m_ended = true;
    m_reads.push_back(Read{block, nextEntry, std::move(text)});
    // Nothing behind the first empty text is ever compared.
    if (!indexed) return;
    if (const std::optional<uint64_t> hash = FoldedHash(m_reads.back().text)) Insert(*hash, position);
    else m_otherTexts.push_back(position);
}

void AgentDataIndex::Insert(uint64_t hash, long position) {
    if ((m_nUsed + 1) * 2 > m_slots.size()) Grow();
    const size_t mask = m_slots.size() - 1;
    const std::string& text = m_reads[static_cast<size_t>(position)].text;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        Slot& slot = m_slots[at];
        if (slot.position < 0) {
            slot = Slot{hash, position};
            ++m_nUsed;
            return;
        }
        // The same text seen before keeps its first position.
        if (slot.hash == hash && FoldedEqual(m_reads[static_cast<size_t>(slot.position)].text, text)) return;
    }
}

void AgentDataIndex::Grow() {
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(old.empty() ? kFirstTableSize : old.size() * 2, Slot{0, -1});
    const size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.position < 0) continue;
        size_t at = slot.hash & mask;
        while (m_slots[at].position >= 0) at = (at + 1) & mask;
        m_slots[at] = slot;
    }
}

long AgentDataIndex::FindName(const std::string& name) const {
    const auto matches = [&](long position) { return PathsEqual(m_reads[static_cast<size_t>(position)].text, name); };
    const std::optional<uint64_t> hash = FoldedHash(name);
    if (!hash || !NameLike(name)) {
        // Any other name is compared with every text, in order.
        for (long position = 0; position < static_cast<long>(m_reads.size()); ++position) {
            if (m_reads[static_cast<size_t>(position)].text.empty()) return -1;
            if (NamePosition(position) && matches(position)) return position;
        }
        return -1;
    }
    long found = -1;
    if (!m_slots.empty()) {
        const size_t mask = m_slots.size() - 1;
        for (size_t at = *hash & mask; m_slots[at].position >= 0; at = (at + 1) & mask) {
            const Slot& slot = m_slots[at];
            if (slot.hash == *hash && FoldedEqual(m_reads[static_cast<size_t>(slot.position)].text, name)) {
                found = slot.position;
                break;
            }
        }
    }
    for (const long position : m_otherTexts) {
        if (found >= 0 && position > found) break;
        if (matches(position)) return position;
    }
    return found;
}
