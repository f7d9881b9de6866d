// The view list entries (markups, parts, the launch file) and the ordered
// lists that hold them, with the lookups a save makes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ViewListEntry {
    std::string m_strLocation;
    std::string m_strLocalPath;
    std::string m_strURL;
    std::string m_strObjectID;
    std::string m_strAccess;
    bool m_bLoaded = false;
};

// Ordered; owns copies of its entries. The lookups go by file identity
// (FileIdentity): the first lookup after a change indexes every entry once,
// so that each later one asks the file system about one entry, not all.
class EntryList {
public:
    EntryList() = default;
    EntryList(const EntryList&) = delete;
    EntryList& operator=(const EntryList&) = delete;

    // Returns the number of entries after the append.
    size_t AddTail(ViewListEntry entry);
    // A new entry, every field empty, at the end: filled in place, a list
    // read in whole moves no entry.
    ViewListEntry& Append() {
        m_byIdentity.clear();
        m_byFileName.clear();
        return m_entries.emplace_back();
    }
    // The first entry whose local path names the same file as path: their
    // file identities are equal under PathsEqual, so that any spelling of a
    // folder finds the entry.
    const ViewListEntry* FindByLocalPath(const std::string& path) const;
    // The first entry that accept takes whose local path's file name, as its
    // file identity gives it, is fileName under PathsEqual.
    const ViewListEntry* FindByFileName(const std::string& fileName,
                                        const std::function<bool(const ViewListEntry&)>& accept) const;
    void RemoveAll();
    // Room for that many more entries, so that a list read in whole is not
    // moved as it grows.
    void Reserve(size_t more) { m_entries.reserve(m_entries.size() + more); }

    size_t Count() const { return m_entries.size(); }
    bool IsEmpty() const { return m_entries.empty(); }

    // Changing entries in place: an entry's path may change, so the lookups
    // index the list again.
    std::vector<ViewListEntry>::iterator begin() {
        m_byIdentity.clear();
        m_byFileName.clear();
        return m_entries.begin();
    }
    std::vector<ViewListEntry>::iterator end() { return m_entries.end(); }
    std::vector<ViewListEntry>::const_iterator begin() const { return m_entries.begin(); }
    std::vector<ViewListEntry>::const_iterator end() const { return m_entries.end(); }
    // Marks an entry loaded without touching what the lookups go by.
    void MarkLoaded(size_t position) { m_entries[position].m_bLoaded = true; }
    const ViewListEntry& operator[](size_t position) const { return m_entries[position]; }

private:
    // Open addressing over the entries' positions by a hash (PathHash) of
    // their identity, and of its file name; both empty while the list has
    // changed since the last lookup.
    struct Slot {
        uint32_t hash;
        uint32_t position;  // kNoEntry: empty
    };
    using Table = std::vector<Slot>;
    static constexpr uint32_t kNoEntry = UINT32_MAX;
    void BuildIndex() const;
    template <typename Matches>
    const ViewListEntry* Find(const Table& table, uint32_t hash, Matches&& matches) const;

    std::vector<ViewListEntry> m_entries;
    mutable Table m_byIdentity;
    mutable Table m_byFileName;
};
