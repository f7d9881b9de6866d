// The view list entries (markups, parts, the launch file) and the ordered
// lists that hold them.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

struct ViewListEntry {
    std::string m_strLocation;
    std::string m_strLocalPath;
    std::string m_strURL;
    std::string m_strObjectID;
    std::string m_strAccess;
    bool m_bLoaded = false;
};

// Ordered, singly linked; owns copies of its entries. Appending keeps the
// tail and the count, so it costs the same at any length.
class EntryList {
public:
    struct Node {
        Node* next = nullptr;
        ViewListEntry entry;
        // The file identity of entry.m_strLocalPath, kept with the path it
        // was made of: an entry's path may change after it is added.
        std::string identityOf;
        std::string identity;
        bool identityKnown = false;
    };

    EntryList() = default;
    EntryList(const EntryList&) = delete;
    EntryList& operator=(const EntryList&) = delete;
    ~EntryList();

    // Returns the number of entries after the append.
    size_t AddTail(const ViewListEntry& entry) { return AddTail(ViewListEntry(entry)); }
    size_t AddTail(ViewListEntry&& entry);
    // The first entry whose local path names the same file as path: their
    // file identities (FileIdentity) are equal under PathsEqual, so that any
    // spelling of a folder finds the entry. Owned by the list.
    ViewListEntry* FindByLocalPath(const std::string& path);
    // The first entry that accept takes whose local path's file name, as its
    // file identity gives it, is fileName under PathsEqual.
    const ViewListEntry* FindByFileName(const std::string& fileName,
                                        const std::function<bool(const ViewListEntry&)>& accept);
    void RemoveAll();

    size_t Count() const { return m_nCount; }
    bool IsEmpty() const { return m_pHead == nullptr; }

    class Iterator {
    public:
        explicit Iterator(Node* node) : m_pNode(node) {}
        ViewListEntry& operator*() const { return m_pNode->entry; }
        ViewListEntry* operator->() const { return &m_pNode->entry; }
        Iterator& operator++() {
            m_pNode = m_pNode->next;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return m_pNode != other.m_pNode; }

    private:
        Node* m_pNode;
    };
    Iterator begin() const { return Iterator(m_pHead); }
    Iterator end() const { return Iterator(nullptr); }

private:
    Node* m_pHead = nullptr;
    Node* m_pTail = nullptr;
    size_t m_nCount = 0;
};

// Ordered, singly linked list of texts.
class NameList {
public:
    NameList() = default;
    NameList(const NameList&) = delete;
    NameList& operator=(const NameList&) = delete;
    ~NameList();

    size_t AddTail(const std::string& text);
    // True when a listed text equals text under PathsEqual.
    bool Contains(const std::string& text) const;
    void RemoveAll();
    size_t Count() const { return m_nCount; }

private:
    struct Node {
        Node* next = nullptr;
        std::string text;
    };
    Node* m_pHead = nullptr;
    Node* m_pTail = nullptr;
    size_t m_nCount = 0;
};
