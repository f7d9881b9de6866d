#include "viewlist/entry_list.h"

#include "platform/text/paths.h"

namespace {

// Lists hold thousands of entries: nodes are freed one by one from the head,
// never by a chain of destructors.
template <typename Node>
void DestroyNodes(Node*& head, Node*& tail, size_t& count) {
    while (head != nullptr) {
        Node* next = head->next;
        delete head;
        head = next;
    }
    tail = nullptr;
    count = 0;
}

template <typename Node>
size_t LinkAtTail(Node* node, Node*& head, Node*& tail, size_t& count) {
    if (tail == nullptr) {
        head = node;
    } else {
        tail->next = node;
    }
    tail = node;
    return ++count;
}

}  // namespace

EntryList::~EntryList() { RemoveAll(); }

size_t EntryList::AddTail(const ViewListEntry& entry) {
    return LinkAtTail(new Node{nullptr, entry}, m_pHead, m_pTail, m_nCount);
}

ViewListEntry* EntryList::FindByLocalPath(const std::string& path) {
    for (Node* node = m_pHead; node != nullptr; node = node->next) {
        if (PathsEqual(node->entry.m_strLocalPath, path)) return &node->entry;
    }
    return nullptr;
}

void EntryList::RemoveAll() { DestroyNodes(m_pHead, m_pTail, m_nCount); }

NameList::~NameList() { RemoveAll(); }

size_t NameList::AddTail(const std::string& text) {
    return LinkAtTail(new Node{nullptr, text}, m_pHead, m_pTail, m_nCount);
}

bool NameList::Contains(const std::string& text) const {
    for (const Node* node = m_pHead; node != nullptr; node = node->next) {
        if (PathsEqual(node->text, text)) return true;
    }
    return false;
}

void NameList::RemoveAll() { DestroyNodes(m_pHead, m_pTail, m_nCount); }
