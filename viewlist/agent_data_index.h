// One scan of a block of agent data, as a run of lookups sees it: every entry
// read from entry 0 on, including where a read past the block's end went on
// in the next block, up to the first empty entry or the first failed read.
// Lookups over the scan give the same answers as scanning again each time,
// while the viewer is asked for each entry only once.
#pragma once

#include "platform/com/com.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class AgentDataIndex {
public:
    // One successful read: where its text lies among the texts, and where
    // the cursor stood after it.
    struct Read {
        LONG block;
        LONG nextEntry;
        size_t offset;
        size_t length;
    };

    explicit AgentDataIndex(LONG startBlock) : m_startBlock(startBlock) {}

    LONG StartBlock() const { return m_startBlock; }
    // Reads are added in scan order; an empty text ends the scan.
    void Add(LONG block, LONG nextEntry, std::string_view text);
    const std::vector<Read>& Reads() const { return m_reads; }
    std::string_view Text(long position) const {
        const Read& read = m_reads[static_cast<size_t>(position)];
        return std::string_view(m_texts).substr(read.offset, read.length);
    }

    // The text after a name found at position found, its value; empty
    // without one (found -1, or the last read).
    std::string_view ValueAfter(long found) const {
        return found >= 0 && static_cast<size_t>(found) + 1 < m_reads.size() ? Text(found + 1) : std::string_view();
    }

    // Position of the first read at a name's place (an even position), in
    // scan order, whose text equals name under PathsEqual and that comes
    // before the first empty text; -1 when none does.
    long FindName(std::string_view name) const;
    // The same for the name "[section]key" with number after it (none for
    // kNoNumber), without the name made: a view list looks up thousands of
    // such names, a few sections and keys with another number each time.
    static constexpr long kNoNumber = -1;
    // "[section]key": a name entry's text before its number.
    static std::string PartName(std::string_view section, std::string_view key);
    long FindName(std::string_view section, std::string_view key, long number) const;

    // For a run of lookups of numbered names, the part of "[section]key"
    // found once: Find(part, number) then answers as FindName does. False
    // where FindName would have to compare texts one by one (a name no part
    // stands for, or name-like texts Split does not take).
    bool PartForRun(std::string_view section, std::string_view key, long& part) const;
    long Find(long part, long number) const;
    // Find for a whole table of numbered names at once, by one walk over
    // the names: element r * columns + c is Find(columns[c].part, rowStep *
    // r + columns[c].offset), for a rowStep above zero and at most
    // kMaxRunColumns columns (-1 everywhere beyond).
    static constexpr size_t kMaxRunColumns = 64;
    struct RunColumn {
        long part;
        long offset;
    };
    std::vector<long> FirstPositions(std::span<const RunColumn> columns, long rows, long rowStep) const;
    // Whether every read lay in the start block: then no lookup moves the
    // cursor on into another one.
    bool InStartBlock() const { return !m_spansBlocks; }

private:
    // A plain ASCII name taken apart where its number begins: its part
    // before the number in folded form (letter case and "/" against "\"
    // removed) and the number, kNoNumber without one. Two plain ASCII texts
    // are equal under PathsEqual exactly when both parts are. False for a
    // text with other bytes or a number written otherwise than a count is
    // (a leading zero, too many digits).
    bool Split(std::string_view text, long& number) const;
    // The first half of Split: where the number begins, and the number.
    static bool SplitNumber(std::string_view text, size_t& partEnd, long& number);
    // The second half: the part before the number, folded into m_folded.
    bool Fold(std::string_view part) const;
    // The number of a text's part before its number, numbering a part not
    // seen before; -1 for a part Split does not take.
    long PartOfText(std::string_view raw);
    // The number of the folded part "[section]key", -1 when no text has it.
    long PartOf(std::string_view section, std::string_view key) const;
    long FindAmongOthers(std::string_view name, long found) const;
    long LinearFind(std::string_view name) const;
    void PlaceNames() const;

    LONG m_startBlock;
    std::vector<Read> m_reads;
    // Every text read, one after the other: a block of thousands of entries
    // is kept without an allocation for each.
    std::string m_texts;
    // The folded part of the last text Split took apart.
    mutable std::string m_folded;
    // Every folded part seen, numbered in order.
    struct PartHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, uint32_t, PartHash, std::equal_to<>> m_parts;
    // Every name Split takes, in scan order, with its part and number.
    struct Name {
        long position;
        long number;
        uint32_t part;
    };
    std::vector<Name> m_names;
    // The first position of each (folded part, number), by open addressing,
    // placed at the first lookup; empty until then.
    struct Slot {
        uint64_t key;
        long position;  // -1: empty
    };
    mutable std::vector<Slot> m_slots;
    // The parts last asked for: the lookups of a view list take turns
    // among a few.
    static constexpr long kUnknownPart = -2;  // not a part of its own
    static constexpr long kEmpty = -3;
    struct KnownPart {
        std::string section;
        std::string key;
        long part = kEmpty;
    };
    static constexpr size_t kKnownParts = 4;
    mutable KnownPart m_known[kKnownParts];
    mutable size_t m_nNextKnown = 0;
    // The parts last met in the texts, as their bytes stood there.
    struct RecentPart {
        std::string raw;
        long part = -1;  // -1: not in use
    };
    static constexpr size_t kRecentParts = 4;
    RecentPart m_recent[kRecentParts];
    size_t m_nNextRecent = 0;
    // Name-like texts Split does not take: compared one by one for every name.
    std::vector<long> m_otherTexts;
    bool m_ended = false;
    bool m_spansBlocks = false;
};
