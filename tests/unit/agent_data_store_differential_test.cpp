// The indexed lookups of AgentDataStore against a plain rescanning cursor,
// over many random stores: every answer and every cursor position must agree.
#include "viewlist/agent_data_store.h"

#include "platform/text/paths.h"
#include "platform/text/strings.h"
#include "tests/support/agent_fixture.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <random>

namespace {

using Blocks = AgentBlocks;

constexpr char kGetAgentString[] = "IMarkupManager::GetAgentString";

// The rescanning cursor, step by step as the store's reads are meant to go.
class ReferenceCursor {
public:
    explicit ReferenceCursor(const Blocks& blocks) : m_blocks(blocks) {}

    bool OpenByServerPath(const std::string& path) {
        m_block = 0;
        m_entry = 0;
        for (std::string v = FindValue("ServerFile", "ServerPath"); !v.empty(); v = FindValue("ServerFile", "ServerPath")) {
            if (PathsEqual(v, path)) return true;
            if (m_block >= AgentDataStore::kMaxBlockIndex) break;
            ++m_block;
        }
        m_block = -1;
        return false;
    }

    std::string FindValue(const std::string& section, const std::string& key) {
        const std::string name = "[" + section + "]" + key;
        m_entry = 0;
        for (std::string v = ReadNext(); !v.empty(); v = ReadNext()) {
            if (PathsEqual(v, name)) return ReadNext();
            if (ReadNext().empty()) break;  // a value, never a name
        }
        return {};
    }

    LONG Block() const { return m_block; }
    LONG Entry() const { return m_entry; }
    long reads = 0;

private:
    const std::string* Entry(LONG block, LONG entry) {
        if (block < 0 || entry < 0 || entry >= AgentDataStore::kMaxEntryIndex) return nullptr;
        ++reads;
        const auto found = m_blocks.find(block);
        if (found == m_blocks.end() || static_cast<size_t>(entry) >= found->second.size()) return nullptr;
        return &found->second[static_cast<size_t>(entry)];
    }

    std::string ReadNext() {
        if (const std::string* text = Entry(m_block, m_entry)) {
            ++m_entry;
            return *text;
        }
        if (m_block < 0 || m_block >= AgentDataStore::kMaxBlockIndex) return {};
        if (const std::string* text = Entry(m_block + 1, m_entry)) {
            ++m_block;
            ++m_entry;
            return *text;
        }
        return {};
    }

    const Blocks& m_blocks;
    LONG m_block = -1;
    LONG m_entry = -1;
};

// Names that collide in letter case and in "/" against "\", values that look
// like names, texts outside ASCII and empty entries.
const std::vector<std::string> kTexts = {
    "[ServerFile]ServerPath", "[serverfile]SERVERPATH", "[ServerFile]ObjectId", "[ViewList]NumMarkups",
    "[viewlist]nummarkups",   "[ViewList]Markup0",      "[VIEWLIST]markup0",    "[View/List]Markup0",
    "[View\\List]Markup0",    "[ViewList]object_id1",   "[ViewList]LocalPath1", "[ViewList]Markup2",
    "[ViewList]NumParts",     "[ViewList]Part0",        "[ViewList]PartId1",    "[ViewList]\xC4nderung",
    "p",                      "P",                      "q",                    "4",
    "2",                      "3",                      "abc",                  "C:/PDM/a.xml",
    "c:\\pdm\\A.XML",         "\xE4\xF6\xFC",           "[ViewList]Markup0",    "[ViewList]Markup02",
    "[ViewList]Markup20",     "[viewlist]MARKUP2",      "[ViewList]Markup",     "",
};
const std::vector<std::pair<std::string, std::string>> kNames = {
    {"ServerFile", "ServerPath"}, {"SERVERFILE", "serverpath"}, {"ServerFile", "ObjectId"},
    {"ViewList", "NumMarkups"},   {"ViewList", "Markup0"},      {"View\\List", "markup0"},
    {"view/list", "MARKUP0"},     {"ViewList", "object_id1"},   {"ViewList", "LocalPath1"},
    {"ViewList", "Markup2"},      {"ViewList", "NumParts"},     {"ViewList", "Part0"},
    {"ViewList", "PartId1"},      {"ViewList", "\xE4nderung"},  {"ViewList", "Missing"},
    {"ViewList", "Markup20"},     {"ViewList", "Markup02"},     {"ViewList", "Markup"},
};
const std::vector<std::string> kPaths = {"p", "P", "q", "c:/pdm/a.xml"};

class AgentDataStoreDifferential : public ViewerHelperTest {
protected:
    // Counted, not written down: a run makes hundreds of thousands of reads.
    void SetUp() override {
        ViewerHelperTest::SetUp();
        nuvsim::SetCallLogEnabled(false);
    }

    Blocks RandomBlocks() {
        Blocks blocks;
        const int count = Pick(4) + 1;
        for (LONG block = 0; block < count + 1; ++block) {
            if (Pick(5) == 0) continue;  // a gap between blocks
            std::vector<std::string>& entries = blocks[block];
            const int length = Pick(14);
            for (int i = 0; i < length; ++i) {
                // Most blocks begin the way the agent writes them.
                if (i == 0 && Pick(3) != 0) entries.push_back("[ServerFile]ServerPath");
                else if (i == 1 && Pick(3) != 0) entries.push_back(kPaths[static_cast<size_t>(Pick(3))]);
                else if (Pick(12) == 0) entries.push_back("");
                else entries.push_back(kTexts[static_cast<size_t>(Pick(static_cast<int>(kTexts.size()) - 1))]);
            }
        }
        return blocks;
    }

    int Pick(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random); }

    // Both cursors answer the same, and stand at the same place afterwards.
    // A number that ends the key is given apart half of the time, as the
    // view list's lookups give it.
    void ExpectSameLookup(ReferenceCursor& reference, AgentDataStore& store, const std::string& section,
                          const std::string& key, const std::string& where) {
        const std::string expected = reference.FindValue(section, key);
        const size_t digits = key.find_last_not_of("0123456789") + 1;
        // Only a number written as the agent writes one (no leading zero).
        const bool canonical = digits < key.size() && (key[digits] != '0' || digits + 1 == key.size());
        const bool apart = canonical && Pick(2) == 0;
        const std::string found = apart ? store.FindValue(section, key.substr(0, digits), std::stol(key.substr(digits)))
                                        : store.FindValue(section, key);
        ASSERT_EQ(expected, found) << where << " [" << section << "]" << key << (apart ? " apart" : "");
        ASSERT_EQ(reference.Block(), store.Block()) << where << " [" << section << "]" << key;
        ASSERT_EQ(reference.Entry(), store.Entry()) << where << " [" << section << "]" << key;
    }

    // The blocks stored, and opened at the block of server file "p" by both
    // cursors; false when the reference finds none (the store must agree).
    bool OpenAtP(int round, const Blocks& blocks, ReferenceCursor& reference, AgentDataStore& store,
                 std::string& where) {
        StoreAgentBlocks(blocks);
        where = "round " + std::to_string(round) + "\n" + Describe(blocks);
        if (!reference.OpenByServerPath("p")) return false;
        const HRESULT opened = store.OpenByServerPath(m_helper.get(), "p");
        EXPECT_PRED1(HrSucceeded, Hr{opened}) << where;
        return SUCCEEDED(opened);
    }

    static std::string Describe(const Blocks& blocks) {
        std::string text;
        for (const auto& [block, entries] : blocks) {
            text += "block " + std::to_string(block) + ":";
            for (const std::string& entry : entries) text += " '" + entry + "'";
            text += "\n";
        }
        return text;
    }

    std::mt19937 random{20240611};
};

TEST_F(AgentDataStoreDifferential, RandomLookupsAgreeWithRescanning) {
    for (int round = 0; round < 3000; ++round) {
        const Blocks blocks = RandomBlocks();
        StoreAgentBlocks(blocks);
        const std::string path = kPaths[static_cast<size_t>(Pick(static_cast<int>(kPaths.size())))];
        const std::string where = "round " + std::to_string(round) + " path " + path + "\n" + Describe(blocks);

        ReferenceCursor reference(blocks);
        AgentDataStore store;
        const bool opened = reference.OpenByServerPath(path);
        ASSERT_EQ(opened, SUCCEEDED(store.OpenByServerPath(m_helper.get(), path))) << where;
        ASSERT_EQ(reference.Block(), store.Block()) << where;
        if (!opened) continue;

        const AgentDataStore::ScopedIndex indexed(store);
        for (int lookup = 0; lookup < 25; ++lookup) {
            const auto& [section, key] = kNames[static_cast<size_t>(Pick(static_cast<int>(kNames.size())))];
            ExpectSameLookup(reference, store, section, key, where);
        }
    }
}

// The lookups of one view list load, in their order, with the counts read the
// way the load reads them.
TEST_F(AgentDataStoreDifferential, AViewListLoadSeesTheSameValuesWithFewerReads) {
    long indexedReads = 0;
    long rescanReads = 0;
    for (int round = 0; round < 2000; ++round) {
        const Blocks blocks = RandomBlocks();
        ReferenceCursor reference(blocks);
        AgentDataStore store;
        std::string where;
        if (!OpenAtP(round, blocks, reference, store, where)) continue;
        reference.reads = 0;
        nuvsim::ClearCallLog();

        const AgentDataStore::ScopedIndex indexed(store);
        for (const char* key : {"ViewMode", "PDMVendor", "PDM_host", "PDM_port", "ObjectId"})
            ExpectSameLookup(reference, store, "ServerFile", key, where);
        const auto count = [&](const char* key) {
            const std::string text = reference.FindValue("ViewList", key);
            EXPECT_EQ(text, store.FindValue("ViewList", key)) << where;
            return std::clamp(ParseLeadingInt(text), 0L, 8L);
        };
        for (long i = 0, markups = count("NumMarkups"); i < markups; i += 2) {
            ExpectSameLookup(reference, store, "ViewList", "Markup" + std::to_string(i), where);
            ExpectSameLookup(reference, store, "ViewList", "object_id" + std::to_string(i + 1), where);
            ExpectSameLookup(reference, store, "ViewList", "LocalPath" + std::to_string(i + 1), where);
        }
        for (long j = 0, parts = count("NumParts"); j < parts; j += 2) {
            ExpectSameLookup(reference, store, "ViewList", "Part" + std::to_string(j), where);
            ExpectSameLookup(reference, store, "ViewList", "PartId" + std::to_string(j + 1), where);
        }
        ASSERT_EQ(reference.Block(), store.Block()) << where;
        ASSERT_EQ(reference.Entry(), store.Entry()) << where;
        indexedReads += nuvsim::CallCount(kGetAgentString);
        rescanReads += reference.reads;
    }
    EXPECT_LT(indexedReads, rescanReads);
}

// Rows read at once see what their lookups one by one see, in row order,
// with the index or without, and leave the cursor where those leave it.
TEST_F(AgentDataStoreDifferential, RowsReadAtOnceAgreeWithLookupsOneByOne) {
    constexpr AgentDataStore::Column kColumns[] = {{"Markup", 0}, {"object_id", 1}, {"LocalPath", 1}};
    for (int round = 0; round < 3000; ++round) {
        const Blocks blocks = RandomBlocks();
        ReferenceCursor reference(blocks);
        AgentDataStore store;
        std::string where;
        if (!OpenAtP(round, blocks, reference, store, where)) continue;
        std::optional<AgentDataStore::ScopedIndex> indexed;
        if (Pick(4) != 0) indexed.emplace(store);
        ExpectSameLookup(reference, store, "ViewList", "NumMarkups", where);

        const long rows = Pick(12);
        std::vector<std::string> expected;
        for (long row = 0; row < rows; ++row) {
            for (const AgentDataStore::Column& column : kColumns)
                expected.push_back(reference.FindValue("ViewList", std::string(column.key) +
                                                                       std::to_string(2 * row + column.offset)));
        }
        const std::vector<std::string_view> values = store.ReadRows("ViewList", kColumns, rows, 2);
        ASSERT_EQ(expected, std::vector<std::string>(values.begin(), values.end())) << where;
        ASSERT_EQ(reference.Block(), store.Block()) << where;
        ASSERT_EQ(reference.Entry(), store.Entry()) << where;
    }
}

TEST_F(AgentDataStoreDifferential, AnIndexedRunReadsEachEntryOnce) {
    std::vector<std::string> entries = {"[ServerFile]ServerPath", "p"};
    for (int i = 0; i < 200; ++i) {
        entries.push_back("[ViewList]Markup" + std::to_string(2 * i));
        entries.push_back("m" + std::to_string(i));
    }
    StoreAgentBlocks({{0, entries}});
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "p"));
    nuvsim::ClearCallLog();
    {
        const AgentDataStore::ScopedIndex indexed(store);
        for (int i = 199; i >= 0; --i)
            ASSERT_EQ("m" + std::to_string(i), store.FindValue("ViewList", "Markup" + std::to_string(2 * i)));
        EXPECT_EQ("", store.FindValue("ViewList", "Markup1"));
    }
    // The block's entries, then the failed read at its end and in the next block.
    EXPECT_EQ(static_cast<long>(entries.size()) + 2, nuvsim::CallCount(kGetAgentString));

    // Once the scope ends, a lookup sees what the viewer holds now.
    nuvsim::SetAgentData(GUID_AgentDataOwner, 0, 3, "changed");
    EXPECT_EQ("changed", store.FindValue("ViewList", "Markup0"));
}

TEST_F(AgentDataStoreDifferential, AWriteDropsTheIndex) {
    StoreAgentBlocks({{0, {"[ServerFile]ServerPath", "p"}}});
    AgentDataStore store;
    ASSERT_HR(S_OK, store.OpenByServerPath(m_helper.get(), "p"));
    const AgentDataStore::ScopedIndex indexed(store);
    EXPECT_EQ("", store.FindValue("ServerFile", "ObjectId"));
    ASSERT_HR(S_OK, store.WriteValue("ServerFile", "ObjectId", "OBJ-1"));
    EXPECT_EQ("OBJ-1", store.FindValue("ServerFile", "ObjectId"));
}

}  // namespace
