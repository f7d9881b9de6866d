#include "viewlist/entry_list.h"

#include "platform/system/file_ops.h"
#include "platform/text/paths.h"

#include <utility>

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

// Asks the file system once per path an entry holds, however often the list
// is searched.
const std::string& IdentityOf(EntryList::Node& node) {
    if (!node.identityKnown || node.identityOf != node.entry.m_strLocalPath) {
        node.identityKnown = true;
        node.identityOf = node.entry.m_strLocalPath;
        node.identity = FileIdentity(node.identityOf);
    }
    return node.identity;
}

}  // namespace

EntryList::~EntryList() { RemoveAll(); }

size_t EntryList::AddTail(ViewListEntry&& entry) {
    return LinkAtTail(new Node{nullptr, std::move(entry), {}, {}, false}, m_pHead, m_pTail, m_nCount);
}

ViewListEntry* EntryList::FindByLocalPath(const std::string& path) {
    const std::string identity = FileIdentity(path);
    for (Node* node = m_pHead; node != nullptr; node = node->next) {
        if (PathsEqual(IdentityOf(*node), identity)) return &node->entry;
    }
    return nullptr;
}

const ViewListEntry* EntryList::FindByFileName(const std::string& fileName,
                                               const std::function<bool(const ViewListEntry&)>& accept) {
    for (Node* node = m_pHead; node != nullptr; node = node->next) {
        if (node->entry.m_strLocalPath.empty() || !accept(node->entry)) continue;
        if (PathsEqual(PathFileName(IdentityOf(*node)), fileName)) return &node->entry;
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
