// The agent data the viewer keeps for its documents: short texts addressed by
// owner, block and entry, and the map from document keys to blocks.
#pragma once

#include "viewer/sim_control.h"

#include <map>
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
    std::map<Address, std::string> m_entries;
    std::map<std::pair<LONG, LONG>, LONG> m_blocks;
};

}  // namespace nuvsim
