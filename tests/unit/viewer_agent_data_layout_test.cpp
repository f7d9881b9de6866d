// The stand-in viewer keeps small entry numbers in rows and far or negative
// ones apart: wherever an entry sits, it is held once and listed, saved and
// counted for new blocks in the order of owner, block and entry.
#include "interfaces/guids.h"
#include "interfaces/viewer_interfaces.h"
#include "platform/com/com_ptr.h"
#include "viewer/sim_control.h"
#include "tests/support/hresult.h"
#include "tests/support/viewer_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Orders before GUID_AgentDataOwner byte for byte, whatever that one is.
constexpr GUID kLowOwner = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
constexpr GUID kHighOwner = {0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};

using Listed = std::tuple<int, LONG, LONG, std::string>;  // owner rank, block, entry, text

int Rank(const GUID& owner) {
    if (std::memcmp(&owner, &kLowOwner, sizeof owner) == 0) return 0;
    if (std::memcmp(&owner, &kHighOwner, sizeof owner) == 0) return 2;
    return 1;
}

std::vector<Listed> Listing() {
    std::vector<Listed> out;
    for (const nuvsim::AgentDataEntry& e : nuvsim::AgentDataEntries()) out.emplace_back(Rank(e.owner), e.block, e.entry, e.text);
    return out;
}

// An entry as GetAgentData finds it.
std::optional<std::string> Entry(const GUID& owner, LONG block, LONG entry) {
    std::string text;
    if (!nuvsim::GetAgentData(owner, block, entry, &text)) return std::nullopt;
    return text;
}

class ViewerAgentDataLayoutTest : public testing::Test {
protected:
    void SetUp() override { nuvsim::ResetViewer(); }
    void TearDown() override { nuvsim::ResetViewer(); }
};

TEST_F(ViewerAgentDataLayoutTest, NearFarAndNegativeNumbersListInOrderAndStayOne) {
    nuvsim::SetAgentData(kHighOwner, 0, 0, "h");
    nuvsim::SetAgentData(GUID_AgentDataOwner, 1, 5, "near");
    nuvsim::SetAgentData(GUID_AgentDataOwner, 1, 5000, "far");
    nuvsim::SetAgentData(GUID_AgentDataOwner, 1, -3, "negative");
    nuvsim::SetAgentData(GUID_AgentDataOwner, -1, 0, "before");
    nuvsim::SetAgentData(GUID_AgentDataOwner, 900000, 0, "far block");
    nuvsim::SetAgentData(kLowOwner, 3, 1, "l");
    nuvsim::SetAgentData(GUID_AgentDataOwner, 1, 0, "first");
    // The block fills up to past where the far entry went in.
    for (LONG entry = 6; entry < 6000; ++entry) nuvsim::SetAgentData(GUID_AgentDataOwner, 1, entry, "r");
    nuvsim::SetAgentData(GUID_AgentDataOwner, 1, 5000, "far again");
    nuvsim::SetAgentData(GUID_AgentDataOwner, 1, -3, "negative again");

    const std::vector<Listed> listed = Listing();
    ASSERT_EQ(6001u, listed.size());
    EXPECT_EQ(Listed(0, 3, 1, "l"), listed[0]);
    EXPECT_EQ(Listed(1, -1, 0, "before"), listed[1]);
    EXPECT_EQ(Listed(1, 1, -3, "negative again"), listed[2]);
    EXPECT_EQ(Listed(1, 1, 0, "first"), listed[3]);
    EXPECT_EQ(Listed(1, 1, 5, "near"), listed[4]);
    EXPECT_EQ(Listed(1, 1, 6, "r"), listed[5]);
    EXPECT_EQ(Listed(1, 1, 4999, "r"), listed[4998]);
    EXPECT_EQ(Listed(1, 1, 5000, "far again"), listed[4999]);
    EXPECT_EQ(Listed(1, 1, 5001, "r"), listed[5000]);
    EXPECT_EQ(Listed(1, 900000, 0, "far block"), listed[6000 - 1]);
    EXPECT_EQ(Listed(2, 0, 0, "h"), listed.back());

    EXPECT_EQ("far again", Entry(GUID_AgentDataOwner, 1, 5000));
    EXPECT_EQ(std::nullopt, Entry(GUID_AgentDataOwner, 1, 4));
    EXPECT_EQ(std::nullopt, Entry(GUID_AgentDataOwner, 1, 6000));
    EXPECT_EQ(std::nullopt, Entry(kLowOwner, 3, 0));

    // A saved and loaded file holds the same entries in the same order.
    const std::string file = (std::filesystem::temp_directory_path() / "nuvsim-data-layout").string();
    ASSERT_HR(S_OK, nuvsim::SaveAgentData(file));
    nuvsim::ClearAgentData();
    EXPECT_THAT(Listing(), testing::IsEmpty());
    ASSERT_HR(S_OK, nuvsim::LoadAgentData(file));
    std::filesystem::remove(file);
    EXPECT_EQ(listed, Listing());
}

TEST_F(ViewerAgentDataLayoutTest, ANewDocumentKeyGetsABlockPastTheFarthestEntry) {
    ComPtr<IAgentHelper> helper;
    ASSERT_HR(S_OK, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(helper.put())));
    ComPtr<IDocumentLookup> lookup;
    ASSERT_HR(S_OK, helper.query(lookup));
    nuvsim::SetAgentData(GUID_AgentDataOwner, -7, 0, "negative");
    const LONG first[2] = {1, 1};
    const LONG second[2] = {1, 2};
    LONG block = -1;
    EXPECT_HR(S_OK, lookup->GetDocumentIndex(first, &block));
    EXPECT_EQ(0, block);
    nuvsim::SetAgentData(kLowOwner, 900000, 3, "far block");
    nuvsim::SetAgentData(GUID_AgentDataOwner, 4, 0, "near");
    EXPECT_HR(S_OK, lookup->GetDocumentIndex(second, &block));
    EXPECT_EQ(900001, block);
    lookup.reset();
    helper.reset();
    EXPECT_THAT(ReferenceProblems(), testing::IsEmpty());
}

}  // namespace
