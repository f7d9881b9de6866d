#include "viewer/host/stored_view_list.h"

#include "interfaces/guids.h"
#include "interfaces/launch_file_keys.h"
#include "viewer/sim_control.h"

#include <cstdlib>

namespace host {
std::string StoredViewList::Value(const std::string& section, const std::string& key) const {
    const auto found = values.find("[" + section + "]" + key);
    return found == values.end() ? std::string() : found->second;
}

std::vector<StoredMarkup> StoredViewList::Markups() const {
    // Each markup takes two numbers: the even one for its location, the odd
    // one after it for its other keys; the count is the first unused number.
    const long count = std::atol(Value(kSectionViewList, kKeyNumMarkups).c_str());
    std::vector<StoredMarkup> markups;
    for (long i = 0; i + 1 <= count && i < 100000; i += 2) {
        markups.push_back({Value(kSectionViewList, kKeyMarkup + std::to_string(i)),
                           Value(kSectionViewList, kKeyObjectId + std::to_string(i + 1)),
                           Value(kSectionViewList, kStoredKeyLocalPath + std::to_string(i + 1))});
    }
    return markups;
}

std::optional<StoredViewList> ReadStoredViewList(long firstKey, long secondKey) {
    StoredViewList list;
    for (const nuvsim::DocumentKeyMapping& mapping : nuvsim::DocumentKeyMappings())
        if (mapping.first == firstKey && mapping.second == secondKey) list.block = mapping.block;
    if (list.block < 0) return std::nullopt;
    std::map<long, std::string> entries;
    for (const nuvsim::AgentDataEntry& entry : nuvsim::AgentDataEntries())
        if (IsEqualGUID(entry.owner, GUID_AgentDataOwner) && entry.block == list.block)
            entries[entry.entry] = entry.text;
    // Name and value entries alternate from entry 0; the first gap ends it.
    for (long at = 0;; at += 2) {
        const auto name = entries.find(at);
        const auto value = entries.find(at + 1);
        if (name == entries.end() || value == entries.end()) break;
        list.values.emplace(name->second, value->second);
    }
    if (list.values.empty()) return std::nullopt;
    return list;
}

}  // namespace host
