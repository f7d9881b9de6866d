// The agent data the viewer keeps for its documents: short texts addressed by
// owner, block and entry, and the map from document keys to blocks.
#pragma once

#include "viewer/sim_control.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace nuvsim {

class AgentData {
public:
    const std::string* Find(const GUID& owner, LONG block, LONG entry) const;
    void Store(const GUID& owner, LONG block, LONG entry, std::string text);
    // The block of a document key; an unknown key gets the next unused block.
    LONG BlockFor(LONG first, LONG second);
    void Map(LONG first, LONG second, LONG block);

    std::vector<AgentDataEntry> Entries() const;
    std::vector<DocumentKeyMapping> Mappings() const;

    HRESULT SaveTo(const std::string& path) const;
    // Replaces what is held only when the whole file reads well.
    HRESULT LoadFrom(const std::string& path);

private:
    struct Address {
        GUID owner;
        LONG block;
        LONG entry;
        bool operator<(const Address& other) const;
    };
    // The agent reads and writes its entries one by one from 0 up, tens of
    // thousands per session: those sit in rows indexed by block and entry.
    // Numbers far beyond what is held (or below 0) go to the ordered
    // overflow instead, so a hostile number cannot make the rows huge.
    struct OwnerData {
        GUID owner;
        std::vector<std::vector<std::optional<std::string>>> blocks;
    };
    OwnerData* OwnerOf(const GUID& owner);
    const OwnerData* OwnerOf(const GUID& owner) const;
    // Calls visit(owner, block, entry, text) in the order of owner, block, entry.
    template <class Visit>
    void ForEach(Visit visit) const;

    std::vector<OwnerData> m_owners;  // ordered by owner
    std::map<Address, std::string> m_overflow;
    LONG m_blockEnd = 0;  // one past the highest block of any entry, at least 0
    std::map<std::pair<LONG, LONG>, LONG> m_blocks;
};

}  // namespace nuvsim
