#include "viewlist/agent_data_index.h"

#include "platform/text/ascii_fold.h"
#include "platform/text/paths.h"

#include <bit>
#include <charconv>
#include <cstring>

namespace {

// Every name entry begins with it, and it is a character of its own in any
// code page: a text that begins otherwise equals no name.
constexpr char kNameStart = '[';

bool NameLike(std::string_view text) { return !text.empty() && text.front() == kNameStart; }

// Names and values alternate from entry 0 on: a value stands at every odd
// position, and is never taken for a name however it reads.
bool NamePosition(long position) { return position % 2 == 0; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// More digits than a count of entries ever has.
constexpr size_t kMaxNumberDigits = 9;
// At most half of the slots are used, so that a probe ends soon.
size_t TableSize(size_t names) { return std::bit_ceil(2 * names + 2); }

uint64_t KeyOf(uint32_t part, long number) {
    return (uint64_t{part} << 32) | static_cast<uint32_t>(number + 1);
}

size_t SlotOf(uint64_t key, size_t mask) {
    const uint64_t mixed = key * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(mixed ^ (mixed >> 32)) & mask;
}

}  // namespace

std::string AgentDataIndex::PartName(std::string_view section, std::string_view key) {
    std::string name;
    name.reserve(section.size() + key.size() + 2);
    name += kNameStart;
    name += section;
    name += ']';
    name += key;
    return name;
}

bool AgentDataIndex::SplitNumber(std::string_view text, size_t& partEnd, long& number) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* digits = end;
    while (digits != begin && IsDigit(digits[-1])) --digits;
    partEnd = static_cast<size_t>(digits - begin);
    number = kNoNumber;
    const size_t count = static_cast<size_t>(end - digits);
    if (count == 0) return true;
    if ((count > 1 && *digits == '0') || count > kMaxNumberDigits) return false;
    long value = 0;
    for (; digits != end; ++digits) value = value * 10 + (*digits - '0');
    number = value;
    return true;
}

bool AgentDataIndex::Fold(std::string_view part) const {
    const size_t end = part.size();
    m_folded.resize(end);
    char* out = m_folded.data();
    size_t at = 0;
    for (; at + sizeof(uint64_t) <= end; at += sizeof(uint64_t)) {
        const uint64_t word = WordAt(part, at);
        // Every name of a block is folded as it is indexed, eight bytes at a time.
        if (!IsPlainAsciiWord(word)) return false;
        const uint64_t folded = FoldedAsciiWord(word);
        std::memcpy(out + at, &folded, sizeof word);
    }
    for (; at < end; ++at) {
        const auto byte = static_cast<unsigned char>(part[at]);
        // Zero ends a text for the comparison; above ASCII, characters
        // follow the code page.
        if (byte == 0 || byte >= 0x80) return false;
        out[at] = static_cast<char>(byte == '/' ? '\\' : AsciiFold(byte));
    }
    return true;
}

bool AgentDataIndex::Split(std::string_view text, long& number) const {
    size_t end = 0;
    return SplitNumber(text, end, number) && Fold(text.substr(0, end));
}

long AgentDataIndex::PartOfText(std::string_view raw) {
    // The names of a block take turns among a few parts, written alike each
    // time: a part met before as these very bytes needs no folding.
    for (const RecentPart& recent : m_recent) {
        if (recent.part >= 0 && recent.raw == raw) return recent.part;
    }
    if (!Fold(raw)) return -1;
    auto part = m_parts.find(std::string_view(m_folded));
    if (part == m_parts.end()) {
        part = m_parts.emplace(m_folded, static_cast<uint32_t>(m_parts.size())).first;
        // A part no text had before may be one a lookup was told is missing.
        for (KnownPart& known : m_known) known.part = kEmpty;
    }
    RecentPart& slot = m_recent[m_nNextRecent++ % kRecentParts];
    slot.raw.assign(raw);
    slot.part = static_cast<long>(part->second);
    return slot.part;
}

void AgentDataIndex::Add(LONG block, LONG nextEntry, std::string_view text) {
    const long position = static_cast<long>(m_reads.size());
    const bool indexed = !m_ended && NamePosition(position) && NameLike(text);
    if (text.empty()) m_ended = true;
    if (block != m_startBlock) m_spansBlocks = true;
    m_reads.push_back(Read{block, nextEntry, m_texts.size(), text.size()});
    m_texts.append(text);
    // Nothing behind the first empty text is ever compared.
    if (!indexed) return;
    size_t partEnd = 0;
    long number = kNoNumber;
    const long part = SplitNumber(text, partEnd, number) ? PartOfText(text.substr(0, partEnd)) : -1;
    if (part < 0) {
        m_otherTexts.push_back(position);
        return;
    }
    m_names.push_back(Name{position, number, static_cast<uint32_t>(part)});
    // Lookups place the names anew, all of them at once.
    m_slots.clear();
}

// Names go in in scan order: along any probe a name comes before every
// later one of its part and number, and the first is the one kept.
void AgentDataIndex::PlaceNames() const {
    m_slots.assign(TableSize(m_names.size()), Slot{0, -1});
    const size_t mask = m_slots.size() - 1;
    for (const Name& name : m_names) {
        const uint64_t key = KeyOf(name.part, name.number);
        for (size_t at = SlotOf(key, mask);; at = (at + 1) & mask) {
            Slot& slot = m_slots[at];
            if (slot.position < 0) {
                slot = Slot{key, name.position};
                break;
            }
            if (slot.key == key) break;
        }
    }
}

long AgentDataIndex::LinearFind(std::string_view name) const {
    const std::string compared(name);
    for (long position = 0; position < static_cast<long>(m_reads.size()); position += 2) {
        if (Text(position).empty()) return -1;
        if (PathsEqual(std::string(Text(position)), compared)) return position;
    }
    return -1;
}

long AgentDataIndex::Find(long part, long number) const {
    if (part < 0 || m_names.empty()) return -1;
    if (m_slots.empty()) PlaceNames();
    const uint64_t key = KeyOf(static_cast<uint32_t>(part), number);
    const size_t mask = m_slots.size() - 1;
    for (size_t at = SlotOf(key, mask); m_slots[at].position >= 0; at = (at + 1) & mask) {
        if (m_slots[at].key == key) return m_slots[at].position;
    }
    return -1;
}

long AgentDataIndex::FindAmongOthers(std::string_view name, long found) const {
    if (m_otherTexts.empty()) return found;
    const std::string compared(name);
    for (const long position : m_otherTexts) {
        if (found >= 0 && position > found) break;
        if (PathsEqual(std::string(Text(position)), compared)) return position;
    }
    return found;
}

long AgentDataIndex::FindName(std::string_view name) const {
    long number = kNoNumber;
    // Any other name is compared with every text, in order.
    if (!NameLike(name) || !Split(name, number)) return LinearFind(name);
    const auto part = m_parts.find(std::string_view(m_folded));
    return FindAmongOthers(name, Find(part == m_parts.end() ? -1 : static_cast<long>(part->second), number));
}

long AgentDataIndex::PartOf(std::string_view section, std::string_view key) const {
    for (const KnownPart& known : m_known) {
        if (known.part != kEmpty && known.section == section && known.key == key) return known.part;
    }
    const std::string name = PartName(section, key);
    long unused = kNoNumber;
    long part = -1;
    if (Split(name, unused) && m_folded.size() == name.size()) {
        const auto found = m_parts.find(std::string_view(m_folded));
        if (found != m_parts.end()) part = static_cast<long>(found->second);
    } else {
        part = kUnknownPart;  // not a part of its own: ends in a digit, or has other bytes
    }
    KnownPart& slot = m_known[m_nNextKnown++ % kKnownParts];
    slot = KnownPart{std::string(section), std::string(key), part};
    return part;
}

long AgentDataIndex::FindName(std::string_view section, std::string_view key, long number) const {
    // A negative number would join the part it follows.
    const long part = number < kNoNumber ? kUnknownPart : PartOf(section, key);
    std::string name;
    if (part == kUnknownPart || !m_otherTexts.empty()) {
        name = PartName(section, key);
        if (number != kNoNumber) name += std::to_string(number);
    }
    if (part == kUnknownPart) return FindName(name);
    return FindAmongOthers(name, Find(part, number));
}

bool AgentDataIndex::PartForRun(std::string_view section, std::string_view key, long& part) const {
    if (!m_otherTexts.empty()) return false;
    part = PartOf(section, key);
    return part != kUnknownPart;
}

std::vector<long> AgentDataIndex::FirstPositions(std::span<const RunColumn> columns, long rows, long rowStep) const {
    std::vector<long> positions(static_cast<size_t>(std::max(rows, 0L)) * columns.size(), -1);
    if (rows <= 0 || rowStep <= 0 || columns.size() > kMaxRunColumns) return positions;
    // The columns each part stands in, as bits: most names stand in none
    // or one, and are passed over with one look.
    std::vector<uint64_t> columnsOf(m_parts.size(), 0);
    for (size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].part >= 0 && static_cast<size_t>(columns[c].part) < columnsOf.size())
            columnsOf[static_cast<size_t>(columns[c].part)] |= uint64_t{1} << c;
    }
    for (const Name& name : m_names) {
        for (uint64_t bits = columnsOf[name.part]; bits != 0; bits &= bits - 1) {
            const auto c = static_cast<size_t>(std::countr_zero(bits));
            const long distance = name.number - columns[c].offset;
            if (distance < 0 || distance % rowStep != 0 || distance / rowStep >= rows) continue;
            long& position = positions[static_cast<size_t>(distance / rowStep) * columns.size() + c];
            if (position < 0) position = name.position;
        }
    }
    return positions;
}
