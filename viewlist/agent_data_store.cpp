#include "viewlist/agent_data_store.h"

#include "interfaces/guids.h"
#include "interfaces/launch_file_keys.h"
#include "platform/text/paths.h"
#include "platform/com/result.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

AgentDataStore::AgentDataStore() : m_ownerId(GUID_AgentDataOwner) {}

AgentDataStore::~AgentDataStore() = default;

HRESULT AgentDataStore::ObtainManager(IAgentHelper* helper) {
    // Another manager may serve other data.
    m_pIndex.reset();
    RETURN_HR_IF(E_FAIL, helper == nullptr);
    return m_pManager.receive([&](auto out) { return helper->GetMarkupManager(out); });
}

HRESULT AgentDataStore::OpenByServerPath(IAgentHelper* helper, const std::string& path) {
    m_nBlock = 0;
    m_nEntry = 0;
    const HRESULT hr = ObtainManager(helper);
    if (SUCCEEDED(hr)) {
        for (std::string value = FindValue(kSectionServerFile, kKeyServerPath); !value.empty();
             value = FindValue(kSectionServerFile, kKeyServerPath)) {
            // The lookup may have moved on into a later block; the match is
            // wherever it ended.
            if (PathsEqual(value, path)) return hr;
            if (m_nBlock >= kMaxBlockIndex) break;
            ++m_nBlock;
        }
    }
    m_nBlock = -1;
    return E_FAIL;
}

HRESULT AgentDataStore::OpenForDocument(IAgentHelper* helper, const LONG* documentKey) {
    m_nBlock = 0;
    const HRESULT hr = LocateDocumentBlock(helper, documentKey);
    m_nEntry = 0;
    return hr;
}

HRESULT AgentDataStore::LocateDocumentBlock(IAgentHelper* helper, const LONG* documentKey) {
    RETURN_HR_IF(E_FAIL, helper == nullptr);
    RETURN_HR_IF(E_POINTER, documentKey == nullptr);
    RETURN_IF_FAILED(ObtainManager(helper));
    ComPtr<IDocumentLookup> lookup;
    RETURN_IF_FAILED(lookup.receive([&](auto out) { return helper->QueryInterface(IID_PPV(out)); }));
    RETURN_HR_IF(E_NOINTERFACE, !lookup);
    // The block is taken only from a lookup that succeeds.
    LONG block = m_nBlock;
    const HRESULT hr = lookup->GetDocumentIndex(documentKey, &block);
    if (SUCCEEDED(hr)) m_nBlock = block;
    return hr;
}

void AgentDataStore::Close() {
    m_pIndex.reset();
    m_pManager.reset();
    m_nBlock = -1;
    m_nEntry = -1;
}

bool AgentDataStore::ReadEntry(LONG block, std::string_view& text) {
    if (!m_pManager || block < 0 || m_nEntry < 0 || m_nEntry >= kMaxEntryIndex) return false;
    char* buffer = m_readBuffer.Prepare();
    LONG size = kReadBufferSize;
    if (FAILED(m_pManager->GetAgentString(&m_ownerId, block, m_nEntry, &size, buffer))) return false;
    // A host that fills the buffer without a terminator is cut at its end.
    text = std::string_view(buffer, m_readBuffer.Length());
    return true;
}

std::string_view AgentDataStore::ReadNextView() {
    std::string_view text;
    if (ReadEntry(m_nBlock, text)) {
        ++m_nEntry;
        return text;
    }
    // A read past the end of a block goes on at the same entry of the next one.
    if (m_nBlock < 0 || m_nBlock >= kMaxBlockIndex) return {};
    if (ReadEntry(m_nBlock + 1, text)) {
        ++m_nBlock;
        ++m_nEntry;
        return text;
    }
    return {};
}

std::string AgentDataStore::ReadNext() { return std::string(ReadNextView()); }

std::string_view AgentDataStore::NameEntry(std::string_view section, std::string_view key, long number) {
    char digits[std::numeric_limits<long>::digits10 + 2];
    const char* digitsEnd = digits;
    if (number != kUnnumbered) digitsEnd = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
    const size_t digitCount = static_cast<size_t>(digitsEnd - digits);
    // Sized once and filled in place: the string keeps its room from one
    // name to the next.
    const size_t length = section.size() + key.size() + digitCount + 2;
    if (m_name.size() < length) m_name.resize(length);
    char* out = m_name.data();
    *out++ = '[';
    out = std::copy(section.begin(), section.end(), out);
    *out++ = ']';
    out = std::copy(key.begin(), key.end(), out);
    *std::copy(static_cast<const char*>(digits), digitsEnd, out) = 0;
    return std::string_view(m_name.data(), length);
}

std::string AgentDataStore::FindValue(std::string_view section, std::string_view key, long number) {
    if (m_bIndexed) return FindIndexed(section, key, number);
    const std::string_view name = NameEntry(section, key, number);
    m_nEntry = 0;
    for (std::string entry = ReadNext(); !entry.empty(); entry = ReadNext()) {
        if (PathsEqual(entry, std::string(name))) return ReadNext();
        // The entry after a name is its value, whatever it reads like.
        if (ReadNext().empty()) break;
    }
    return {};
}

// Each scan starts at entry 0 of the cursor's block, and the reads of a scan
// depend on nothing else: one recorded scan per block answers every lookup.
void AgentDataStore::ScanIntoIndex() {
    const LONG startBlock = m_nBlock;
    m_pIndex = std::make_unique<AgentDataIndex>(startBlock);
    m_nEntry = 0;
    for (;;) {
        const LONG before = m_nEntry;
        const std::string_view text = ReadNextView();
        // Only a read that found an entry moves the cursor on.
        if (m_nEntry == before) break;
        const bool last = text.empty();
        m_pIndex->Add(m_nBlock, m_nEntry, text);
        if (last) break;
    }
    m_nBlock = startBlock;
}

std::string AgentDataStore::FindIndexed(std::string_view section, std::string_view key, long number) {
    if (!m_pIndex || m_pIndex->StartBlock() != m_nBlock) ScanIntoIndex();
    const std::vector<AgentDataIndex::Read>& reads = m_pIndex->Reads();
    const long found = m_pIndex->FindName(section, key, number);
    // The cursor ends behind the last entry the scan would have read: the
    // value after the name, the name itself when nothing followed it, or the
    // end of the scan.
    long last = static_cast<long>(reads.size()) - 1;
    if (found >= 0) last = std::min(found + 1, last);
    std::string value;
    if (found >= 0 && found + 1 < static_cast<long>(reads.size())) value = m_pIndex->Text(found + 1);
    if (last >= 0) {
        m_nBlock = reads[static_cast<size_t>(last)].block;
        m_nEntry = reads[static_cast<size_t>(last)].nextEntry;
    } else {
        m_nEntry = 0;
    }
    return value;
}

HRESULT AgentDataStore::FillValue(std::string_view section, std::string_view key, std::string& target) {
    if (target.empty()) target = FindValue(section, key);
    return S_OK;
}

HRESULT AgentDataStore::AppendTerminated(const char* text, size_t length) {
    RETURN_HR_IF(E_FAIL, !m_pManager || m_nBlock < 0 || m_nEntry < 0);
    // What is written past the last entry a read may reach could never be read back.
    RETURN_HR_IF(E_FAIL, m_nEntry >= kMaxEntryIndex);
    RETURN_HR_IF(E_INVALIDARG, length >= static_cast<size_t>(std::numeric_limits<LONG>::max()));
    LONG size = static_cast<LONG>(length) + 1;
    m_pIndex.reset();
    const HRESULT hr = m_pManager->SetAgentString(&m_ownerId, m_nBlock, m_nEntry, &size, text);
    if (SUCCEEDED(hr)) ++m_nEntry;
    return hr;
}

HRESULT AgentDataStore::WriteValue(std::string_view section, std::string_view key, long number,
                                   const std::string& value) {
    if (value.empty()) return S_OK;
    const std::string_view name = NameEntry(section, key, number);
    RETURN_IF_FAILED(AppendTerminated(name.data(), name.size()));
    const HRESULT hr = AppendText(value);
    // A name without its value would read the next name written as its
    // value: the next write goes over the name instead.
    if (FAILED(hr)) --m_nEntry;
    return hr;
}
