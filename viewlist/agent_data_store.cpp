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

// Inline: a view list's restore reads every entry of its block once.
inline bool AgentDataStore::ReadEntry(LONG block, std::string_view& text) {
    if (!m_pManager || block < 0 || m_nEntry < 0 || m_nEntry >= kMaxEntryIndex) return false;
    char* buffer = m_readBuffer.Prepare();
    LONG size = kReadBufferSize;
    if (FAILED(m_pManager->GetAgentString(&m_ownerId, block, m_nEntry, &size, buffer))) return false;
    // A host that fills the buffer without a terminator is cut at its end.
    text = std::string_view(buffer, m_readBuffer.Length());
    return true;
}

bool AgentDataStore::ReadNextView(std::string_view& text) {
    if (ReadEntry(m_nBlock, text)) {
        ++m_nEntry;
        return true;
    }
    // A read past the end of a block goes on at the same entry of the next one.
    if (m_nBlock < 0 || m_nBlock >= kMaxBlockIndex || !ReadEntry(m_nBlock + 1, text)) return false;
    ++m_nBlock;
    ++m_nEntry;
    return true;
}

std::string AgentDataStore::ReadNext() {
    std::string_view text;
    return ReadNextView(text) ? std::string(text) : std::string();
}

AgentDataStore::Name AgentDataStore::NameOf(std::string_view section, std::string_view key) {
    return Name(AgentDataIndex::PartName(section, key));
}

std::string AgentDataStore::FindValue(std::string_view section, std::string_view key, long number) {
    if (m_bIndexed) return FindIndexed(section, key, number);
    const std::string name = NameOf(section, key).For(number);
    m_nEntry = 0;
    for (std::string entry = ReadNext(); !entry.empty(); entry = ReadNext()) {
        if (PathsEqual(entry, name)) return ReadNext();
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
    // Only a read that found an entry goes in; an empty one ends the scan.
    for (std::string_view text; ReadNextView(text);) {
        m_pIndex->Add(m_nBlock, m_nEntry, text);
        if (text.empty()) break;
    }
    m_nBlock = startBlock;
}

const AgentDataIndex& AgentDataStore::Index() {
    if (!m_pIndex || m_pIndex->StartBlock() != m_nBlock) ScanIntoIndex();
    return *m_pIndex;
}

std::string_view AgentDataStore::Answer(long found) {
    const std::vector<AgentDataIndex::Read>& reads = m_pIndex->Reads();
    // The cursor ends behind the last entry the scan would have read: the
    // value after the name, the name itself when nothing followed it, or the
    // end of the scan.
    long last = static_cast<long>(reads.size()) - 1;
    if (found >= 0) last = std::min(found + 1, last);
    const std::string_view value = m_pIndex->ValueAfter(found);
    if (last >= 0) {
        m_nBlock = reads[static_cast<size_t>(last)].block;
        m_nEntry = reads[static_cast<size_t>(last)].nextEntry;
    } else {
        m_nEntry = 0;
    }
    return value;
}

std::string AgentDataStore::FindIndexed(std::string_view section, std::string_view key, long number) {
    return std::string(Answer(Index().FindName(section, key, number)));
}

std::vector<std::string_view> AgentDataStore::ReadRows(std::string_view section, std::span<const Column> columns,
                                                       long rows, long rowStep) {
    m_rowTexts.clear();
    std::vector<std::string_view> values;
    if (rows <= 0 || columns.empty()) return values;
    values.reserve(static_cast<size_t>(rows) * columns.size());
    if (ReadRowsIndexed(section, columns, rows, rowStep, values)) return values;
    // Sized once: the views keep pointing at their texts.
    m_rowTexts.reserve(values.capacity());
    for (long row = 0; row < rows; ++row) {
        for (const Column& column : columns)
            values.push_back(m_rowTexts.emplace_back(FindValue(section, column.key, rowStep * row + column.offset)));
    }
    return values;
}

bool AgentDataStore::ReadRowsIndexed(std::string_view section, std::span<const Column> columns, long rows,
                                     long rowStep, std::vector<std::string_view>& values) {
    // A step of zero or less numbers rows alike or backwards: one by one.
    if (!m_bIndexed || rowStep <= 0) return false;
    const AgentDataIndex& index = Index();
    // Lookups that may move the cursor into another block depend on one
    // another: those are made one by one.
    if (!index.InStartBlock()) return false;
    AgentDataIndex::RunColumn run[kMaxColumns];
    if (columns.size() > kMaxColumns) return false;
    for (size_t c = 0; c < columns.size(); ++c) {
        if (!index.PartForRun(section, columns[c].key, run[c].part)) return false;
        run[c].offset = columns[c].offset;
    }
    const std::vector<long> found = index.FirstPositions(std::span(run, columns.size()), rows, rowStep);
    for (const long position : found) values.push_back(index.ValueAfter(position));
    // Every lookup stays in the block: the last one alone places the cursor.
    Answer(found.back());
    return true;
}

HRESULT AgentDataStore::FillValue(std::string_view section, std::string_view key, std::string& target) {
    if (target.empty()) target = FindValue(section, key);
    return S_OK;
}

// Inline: a view list's save writes thousands of names and values, two at a
// time through WriteValue.
inline HRESULT AgentDataStore::AppendTerminated(const char* text, size_t length) {
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

HRESULT AgentDataStore::AppendText(const std::string& text) { return AppendTerminated(text.c_str(), text.size()); }

HRESULT AgentDataStore::WriteValue(std::string_view section, std::string_view key, long number,
                                   const std::string& value) {
    Name name = NameOf(section, key);
    return WriteValue(name, number, value);
}

HRESULT AgentDataStore::WriteValue(Name& name, long number, const std::string& value) {
    if (value.empty()) return S_OK;
    const std::string& entry = name.For(number);
    RETURN_IF_FAILED(AppendTerminated(entry.c_str(), entry.size()));
    const HRESULT hr = AppendTerminated(value.c_str(), value.size());
    // A name without its value would read the next name written as its
    // value: the next write goes over the name instead.
    if (FAILED(hr)) --m_nEntry;
    return hr;
}
