#include "viewlist/entry_list.h"

#include "platform/system/file_ops.h"
#include "platform/text/paths.h"

#include <bit>
#include <utility>

namespace {

// At most half of the slots are used, so that a probe ends soon.
size_t TableSize(size_t entries) { return std::bit_ceil(2 * entries + 2); }

uint32_t FileNameHash(std::string_view identity) {
    if (const std::optional<std::string_view> name = WholeFileName(identity)) return PathHash(*name);
    return PathHash(PathFileName(std::string(identity)));
}

}  // namespace

size_t EntryList::AddTail(ViewListEntry entry) {
    Append() = std::move(entry);
    return m_entries.size();
}


void EntryList::RemoveAll() {
    m_entries.clear();
    m_byIdentity.clear();
    m_byFileName.clear();
}

// The file system is asked once per entry, however many lookups follow.
// Positions go in in list order: along any probe, an entry comes before
// every later one of the same hash, so the first match found is the first
// in the list.
void EntryList::BuildIndex() const {
    const size_t size = TableSize(m_entries.size());
    m_byIdentity.assign(size, Slot{0, kNoEntry});
    m_byFileName.assign(size, Slot{0, kNoEntry});
    const auto insert = [size](Table& table, uint32_t hash, uint32_t position) {
        size_t at = hash & (size - 1);
        while (table[at].position != kNoEntry) at = (at + 1) & (size - 1);
        table[at] = Slot{hash, position};
    };
    std::string identity;
    for (uint32_t position = 0; position < m_entries.size(); ++position) {
        const std::string& path = m_entries[position].m_strLocalPath;
        FileIdentity(path, identity);
        insert(m_byIdentity, PathHash(identity), position);
        // An entry without a local path has no file name to match.
        if (!path.empty()) insert(m_byFileName, FileNameHash(identity), position);
    }
}

template <typename Matches>
const ViewListEntry* EntryList::Find(const Table& table, uint32_t hash, Matches&& matches) const {
    const size_t mask = table.size() - 1;
    for (size_t at = hash & mask; table[at].position != kNoEntry; at = (at + 1) & mask) {
        if (table[at].hash != hash) continue;
        const ViewListEntry& entry = m_entries[table[at].position];
        if (matches(entry, FileIdentity(entry.m_strLocalPath))) return &entry;
    }
    return nullptr;
}

const ViewListEntry* EntryList::FindByLocalPath(const std::string& path) const {
    if (m_entries.empty()) return nullptr;
    if (m_byIdentity.empty()) BuildIndex();
    const std::string identity = FileIdentity(path);
    return Find(m_byIdentity, PathHash(identity),
                [&](const ViewListEntry&, const std::string& entryIdentity) {
                    return PathsEqual(entryIdentity, identity);
                });
}

const ViewListEntry* EntryList::FindByFileName(const std::string& fileName,
                                               const std::function<bool(const ViewListEntry&)>& accept) const {
    if (m_entries.empty()) return nullptr;
    if (m_byFileName.empty()) BuildIndex();
    return Find(m_byFileName, PathHash(fileName),
                [&](const ViewListEntry& entry, const std::string& entryIdentity) {
                    return accept(entry) && PathsEqual(PathFileName(entryIdentity), fileName);
                });
}
