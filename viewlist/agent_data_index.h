// One scan of a block of agent data, as a run of lookups sees it: every entry
// read from entry 0 on, including where a read past the block's end went on
// in the next block, up to the first empty entry or the first failed read.
// Lookups over the scan give the same answers as scanning again each time,
// while the viewer is asked for each entry only once.
#pragma once

#include "platform/com/com.h"

#include <cstdint>
#include <string>
#include <vector>

class AgentDataIndex {
public:
    // One successful read: its text and where the cursor stood after it.
    struct Read {
        LONG block;
        LONG nextEntry;
        std::string text;
    };

    explicit AgentDataIndex(LONG startBlock) : m_startBlock(startBlock) {}

    LONG StartBlock() const { return m_startBlock; }
    // Reads are added in scan order; an empty text ends the scan.
    void Add(LONG block, LONG nextEntry, std::string text);
    const std::vector<Read>& Reads() const { return m_reads; }

    // Position of the first read at a name's place (an even position), in
    // scan order, whose text equals name under PathsEqual and that comes
    // before the first empty text; -1 when none does.
    long FindName(const std::string& name) const;

private:
    LONG m_startBlock;
    std::vector<Read> m_reads;
    // Name-like plain ASCII texts by a hash of their folded form (letter case
    // and "/" against "\" removed), each distinct text with its first
    // position: all texts of one folded form are equal under PathsEqual. An
    // open-addressing table, so that indexing a block allocates nothing per
    // entry.
    struct Slot {
        uint64_t hash;
        long position;  // -1: empty
    };
    void Insert(uint64_t hash, long position);
    void Grow();
    std::vector<Slot> m_slots;
    size_t m_nUsed = 0;
    // Name-like texts with other bytes: compared one by one for every name.
    std::vector<long> m_otherTexts;
    bool m_ended = false;
};
