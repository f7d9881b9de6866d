// A cursor over the agent data that the viewer keeps with its documents:
// blocks of entries, each value stored as a name entry "[Section]Key"
// followed by its value entry.
#pragma once

#include "interfaces/viewer_interfaces.h"
#include "platform/com/com_ptr.h"
#include "platform/com/host_text_buffer.h"
#include "viewlist/agent_data_index.h"

#include <memory>
#include <string>
#include <string_view>

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
    // The value after the name entry "[section]key" ("[section]keyN" for a
    // number N). Names stand at entries 0, 2, 4 ... of the block; a value is
    // never taken for a name, however it reads. Empty when the name is not
    // found.
    std::string FindValue(std::string_view section, std::string_view key, long number = kUnnumbered);
    // Sets target only while it is empty. Always 0.
    HRESULT FillValue(std::string_view section, std::string_view key, std::string& target);
    HRESULT AppendText(const std::string& text) { return AppendTerminated(text.c_str(), text.size()); }
    // The name entry, then the value entry; nothing for an empty value. When
    // the value cannot be written, the cursor goes back to the name, which the
    // next write replaces.
    HRESULT WriteValue(std::string_view section, std::string_view key, const std::string& value) {
        return WriteValue(section, key, kUnnumbered, value);
    }
    HRESULT WriteValue(std::string_view section, std::string_view key, long number, const std::string& value);

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
    std::string_view ReadNextView();
    std::string FindIndexed(std::string_view section, std::string_view key, long number);
    void ScanIntoIndex();
    // Builds a name entry, terminated, in m_name, which every lookup and
    // write reuses: a view list of thousands of values needs no text made
    // for each.
    std::string_view NameEntry(std::string_view section, std::string_view key, long number);

    GUID m_ownerId;
    ComPtr<IMarkupManager> m_pManager;
    LONG m_nBlock = -1;
    LONG m_nEntry = -1;
    bool m_bIndexed = false;
    std::unique_ptr<AgentDataIndex> m_pIndex;
    std::string m_name;
    HostTextBuffer<char, kReadBufferSize> m_readBuffer;
};
