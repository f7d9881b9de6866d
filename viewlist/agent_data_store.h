// A cursor over the agent data that the viewer keeps with its documents:
// blocks of entries, each value stored as a name entry "[Section]Key"
// followed by its value entry.
#pragma once

#include "interfaces/viewer_interfaces.h"
#include "platform/com/com_ptr.h"
#include "platform/com/host_text_buffer.h"
#include "platform/text/numbered_name.h"
#include "viewlist/agent_data_index.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class AgentDataStore {
public:
    // Size of the buffer every read goes through, terminator included.
    static constexpr LONG kReadBufferSize = 1024;
    // Bounds that keep every scan of a hostile store finite and no index from
    // wrapping: the last block a scan or a read moves on to, and the entries a
    // block may hold (a view list of the largest size takes about 100,000).
    static constexpr LONG kMaxBlockIndex = 4096;
    static constexpr LONG kMaxEntryIndex = 1L << 17;

    AgentDataStore();
    AgentDataStore(const AgentDataStore&) = delete;
    AgentDataStore& operator=(const AgentDataStore&) = delete;
    virtual ~AgentDataStore();

    // Finds the block whose [ServerFile]ServerPath equals path; E_FAIL when none.
    HRESULT OpenByServerPath(IAgentHelper* helper, const std::string& path);
    // Positions the cursor at entry 0 of a viewer document's block.
    HRESULT OpenForDocument(IAgentHelper* helper, const LONG* documentKey);
    // Lets go of the viewer's manager: closed until the next open.
    void Close();
    std::string ReadNext();
    // A key stands alone, or with a number after it ("Markup12").
    static constexpr long kUnnumbered = AgentDataIndex::kNoNumber;
    static_assert(NumberedName<char>::kUnnumbered == kUnnumbered);
    // The value after the name entry "[section]key" ("[section]keyN" for a
    // number N). Names stand at entries 0, 2, 4 ... of the block; a value is
    // never taken for a name, however it reads. Empty when the name is not
    // found.
    std::string FindValue(std::string_view section, std::string_view key, long number = kUnnumbered);
    // A table kept as numbered names: in row r, column c holds the value of
    // "[section]<c.key><rowStep * r + c.offset>".
    struct Column {
        std::string_view key;
        long offset;
    };
    static constexpr size_t kMaxColumns = 8;
    static_assert(kMaxColumns <= AgentDataIndex::kMaxRunColumns);
    // The values of rows rows, row after row, column after column: the
    // values FindValue gives looked up in that order, and the cursor ends
    // where those lookups leave it. The texts stay until the next call.
    std::vector<std::string_view> ReadRows(std::string_view section, std::span<const Column> columns, long rows,
                                           long rowStep);
    // Sets target only while it is empty. Always 0.
    HRESULT FillValue(std::string_view section, std::string_view key, std::string& target);
    HRESULT AppendText(const std::string& text);
    // The name entry, then the value entry; nothing for an empty value. When
    // the value cannot be written, the cursor goes back to the name, which the
    // next write replaces.
    HRESULT WriteValue(std::string_view section, std::string_view key, const std::string& value) {
        return WriteValue(section, key, kUnnumbered, value);
    }
    HRESULT WriteValue(std::string_view section, std::string_view key, long number, const std::string& value);
    // The name entry "[section]key", for a run of writes with the numbers
    // counting on: WriteValue(name, ...) writes it without making it anew.
    using Name = NumberedName<char>;
    static Name NameOf(std::string_view section, std::string_view key);
    HRESULT WriteValue(Name& name, long number, const std::string& value);

    LONG Block() const { return m_nBlock; }
    LONG Entry() const { return m_nEntry; }

    // While one lives, lookups answer from one scan per block instead of
    // scanning the block again for every name: for a run of lookups over data
    // that does not change meanwhile. Answers and cursor are the same.
    class ScopedIndex {
    public:
        explicit ScopedIndex(AgentDataStore& store) : m_store(store) { m_store.m_bIndexed = true; }
        ~ScopedIndex() {
            m_store.m_bIndexed = false;
            m_store.m_pIndex.reset();
        }
        ScopedIndex(const ScopedIndex&) = delete;
        ScopedIndex& operator=(const ScopedIndex&) = delete;

    private:
        AgentDataStore& m_store;
    };

private:
    HRESULT ObtainManager(IAgentHelper* helper);
    HRESULT AppendTerminated(const char* text, size_t length);
    HRESULT LocateDocumentBlock(IAgentHelper* helper, const LONG* documentKey);
    // Reads the entry at the cursor's entry index in block; false when there is none.
    // The text stays in the read buffer until the next read.
    bool ReadEntry(LONG block, std::string_view& text);
    // The next entry, moving on into the next block past the end of one;
    // false, the cursor unmoved, when there is none.
    bool ReadNextView(std::string_view& text);
    std::string FindIndexed(std::string_view section, std::string_view key, long number);
    // Indexes the cursor's block unless its index stands.
    const AgentDataIndex& Index();
    // The value after the name found at position found (-1: none) of the
    // index, with the cursor moved behind the last entry a scan for it
    // would have read.
    std::string_view Answer(long found);
    // ReadRows from the index, without a lookup each; false, with nothing
    // read, where the lookups one by one could answer otherwise.
    bool ReadRowsIndexed(std::string_view section, std::span<const Column> columns, long rows, long rowStep,
                         std::vector<std::string_view>& values);
    void ScanIntoIndex();

    GUID m_ownerId;
    ComPtr<IMarkupManager> m_pManager;
    LONG m_nBlock = -1;
    LONG m_nEntry = -1;
    bool m_bIndexed = false;
    std::unique_ptr<AgentDataIndex> m_pIndex;
    // The values ReadRows looked up one by one.
    std::vector<std::string> m_rowTexts;
    HostTextBuffer<char, kReadBufferSize> m_readBuffer;
};
