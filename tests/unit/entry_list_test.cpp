#include "viewlist/entry_list.h"

#include <gtest/gtest.h>

#include <utility>

#include <vector>

namespace {

ViewListEntry Markup(const std::string& localPath, const std::string& objectId = "") {
    ViewListEntry entry;
    entry.m_strLocalPath = localPath;
    entry.m_strObjectID = objectId;
    return entry;
}

std::vector<std::string> LocalPaths(const EntryList& list) {
    std::vector<std::string> paths;
    for (const ViewListEntry& entry : list) paths.push_back(entry.m_strLocalPath);
    return paths;
}

using testing::PrintToString;

TEST(EntryList, AddTailCountsAndKeepsOrder) {
    EntryList list;
    EXPECT_TRUE(list.IsEmpty()) << PrintToString(LocalPaths(list));
    EXPECT_EQ(list.AddTail(Markup("a")), 1u);
    EXPECT_EQ(LocalPaths(list), std::vector<std::string>{"a"});
    list.AddTail(Markup("b"));
    list.AddTail(Markup("c"));
    EXPECT_EQ(list.AddTail(Markup("d")), 4u);
    EXPECT_EQ(LocalPaths(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(list.Count(), 4u);
}

TEST(EntryList, StoresItsOwnCopy) {
    EntryList list;
    ViewListEntry entry = Markup("D:/m/one.xml", "7");
    entry.m_bLoaded = true;
    list.AddTail(entry);
    entry.m_strLocalPath = "changed";
    const ViewListEntry* found = list.FindByLocalPath("D:/m/one.xml");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->m_strObjectID, "7");
    EXPECT_TRUE(found->m_bLoaded) << found->m_strLocalPath;
    EXPECT_EQ(list.FindByLocalPath("changed"), nullptr);
}

TEST(EntryList, FindByLocalPathUsesPathRuleFirstMatch) {
    EntryList list;
    EXPECT_EQ(list.FindByLocalPath("D:/m/one.xml"), nullptr);
    list.AddTail(Markup("D:/m/Other.xml", "0"));
    list.AddTail(Markup("D:/m/One.xml", "1"));
    list.AddTail(Markup("d:\\M\\one.XML", "2"));
    const ViewListEntry* found = list.FindByLocalPath("d:\\m\\ONE.xml");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->m_strObjectID, "1");
    // The entry stays in the list and is marked loaded there.
    list.MarkLoaded(1);
    EXPECT_TRUE(list.FindByLocalPath("D:/m/one.xml")->m_bLoaded) << found->m_strLocalPath;
    EXPECT_EQ(list.FindByLocalPath("D:/m/one.xm"), nullptr);
    EXPECT_EQ(list.FindByLocalPath(""), nullptr);
}

// Both sides of a lookup go by the file's identity, so the list and the
// caller may spell the folder differently; a file name of another entry, or
// one accept turns down, is not found by name.
TEST(EntryList, LookupsGoByTheFilesIdentity) {
    EntryList list;
    list.AddTail(Markup("C:\\PDM\\other\\..\\vault\\review.xml."));
    list.AddTail(Markup("D:\\elsewhere\\notes.xml"));
    EXPECT_NE(list.FindByLocalPath("\\\\?\\c:\\pdm\\VAULT\\.\\review.xml"), nullptr);
    EXPECT_EQ(list.FindByLocalPath("C:\\PDM\\review.xml"), nullptr);
    // An entry changed after it was added is looked up under its new path.
    (*list.begin()).m_strLocalPath = "C:\\PDM\\moved.xml";
    EXPECT_EQ(list.FindByLocalPath("C:\\PDM\\vault\\review.xml"), nullptr);
    EXPECT_NE(list.FindByLocalPath("C:\\PDM\\.\\moved.xml"), nullptr);
    const auto all = [](const ViewListEntry&) { return true; };
    EXPECT_EQ(list.FindByFileName("NOTES.XML", all)->m_strLocalPath, "D:\\elsewhere\\notes.xml");
    EXPECT_EQ(list.FindByFileName("notes.xml", [](const ViewListEntry&) { return false; }), nullptr);
    EXPECT_EQ(list.FindByFileName("elsewhere", all), nullptr);
}

TEST(EntryList, EmptyLocalPathsMatchAnEmptyPath) {
    EntryList list;
    list.AddTail(ViewListEntry{});
    EXPECT_NE(list.FindByLocalPath(""), nullptr);
}

TEST(EntryList, RemoveAllThenAppendAgain) {
    EntryList list;
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty()) << PrintToString(LocalPaths(list));
    list.AddTail(Markup("a"));
    list.AddTail(Markup("b"));
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty()) << PrintToString(LocalPaths(list));
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.FindByLocalPath("a"), nullptr);
    EXPECT_EQ(list.AddTail(Markup("c")), 1u);
    EXPECT_EQ(LocalPaths(list), std::vector<std::string>{"c"});
}

TEST(EntryList, LongListsAppendAndDestroyWithoutRecursion) {
    constexpr size_t kEntries = 100000;
    auto list = std::make_unique<EntryList>();
    for (size_t i = 0; i < kEntries; ++i) ASSERT_EQ(list->AddTail(Markup("m" + std::to_string(i))), i + 1);
    EXPECT_EQ(list->Count(), kEntries);
    list.reset();
}

}  // namespace
