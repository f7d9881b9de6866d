// Every identifier and code the agent shares with the viewer, the COM runtime
// and the registry, written down here from the interface description. The
// agent and the stand-in viewer are built from the same headers, so a slip in
// one passes every other test; this file includes none of them.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// What the headers hold, as text (tests/support/built_identifiers.cpp).
std::vector<std::pair<std::string, std::string>> BuiltIdentifiers();

namespace {

const std::map<std::string, std::string> kDocumented = {
    {"CLSID DMAgent", "{FE4F5263-11D5-D724-D5BA-A978983B6369}"},
    {"LIBID", "{DE2BA9C8-CF2E-D1DF-8B64-441C516B64AE}"},
    {"IDMAgent", "{DDC012F8-A786-5584-456D-044BC1F49414}"},
    {"IAgentFileOpen", "{BC322BD5-6359-17D4-5926-363FE6A11024}"},
    {"IAgentPathResolve", "{A222643E-744A-D6F8-05FE-02883EC5C2E3}"},
    {"IAgentMarkupSave", "{775D096D-0F0F-15FA-4EE1-4C1FD194910B}"},
    {"IAgentSession", "{DBFD22D6-5229-E07D-A407-E15D7FF35253}"},
    {"CLSID helper", "{BA04A117-26C3-AC87-A3BA-F3D7A1D8C4FE}"},
    {"IAgentHelper", "{F78A830F-E6D0-EF70-FC4D-B29B6713961F}"},
    {"IDocumentLookup", "{637BE33B-22B9-B0D0-4491-3985B14E93E7}"},
    {"IPdfDocument", "{838CCE57-83F5-DC1D-ECB1-CF774477FB74}"},
    {"I2DDocument", "{F8052FE1-3AD4-D072-A3FB-D5EFBB5E0E52}"},
    {"I2DLayers", "{05EC9F85-FCC0-B749-7B13-17A0006A6BD3}"},
    {"I3DDocument", "{1374D0DA-2A4B-EB2D-D8BE-0863FA625685}"},
    {"IViewerEvents", "{96D46A1C-FAA6-95B3-FEA4-E7D52F751AFF}"},
    {"CLSID file stream", "{C97816B5-B7B9-315A-EC71-7A40FBD66481}"},
    {"IFileStreamSource", "{AFCE6DFE-B614-AEA5-D5E0-957E81F276F3}"},
    {"IStream", "{0000000C-0000-0000-C000-000000000046}"},
    {"IUnknown", "{00000000-0000-0000-C000-000000000046}"},
    {"3D view kind", "{3406B7AE-3459-E6E5-65EB-2FC44F6E57A5}"},
    {"agent data owner", "{5E392271-14BB-5E91-C142-17FC9E502C30}"},
    {"notify start", "0"}, {"notify viewer event", "2"}, {"notify query version", "8"}, {"notify query flag", "9"},
    {"notify save", "0xA0006"}, {"notify document save", "0x3E90010"}, {"notify document save too", "0x3E90011"},
    {"kind PDF", "0"}, {"kind 2D", "1"}, {"kind 3D", "2"}, {"kind none", "3"},
    {"plain session type", "ZelView.Session"}, {"PreserveExtensions", "\\ZelPDM\\PreserveExtensions"},
    {"REGISTRY resource", "102"}, {"TYPELIB resource", "1"},
    {"string project name", "100"}, {"string layer write", "104"}, {"string no permission", "105"},
    {"string saved to file system", "106"},
    {"E_FAIL", "0x80004005"}, {"E_INVALIDARG", "0x80070057"}, {"creation context", "1"},
};

TEST(Identifiers, TheBuildHoldsEveryDocumentedIdentifierAndCode) {
    std::set<std::string> built;
    for (const auto& [name, text] : BuiltIdentifiers()) {
        const auto documented = kDocumented.find(name);
        ASSERT_NE(documented, kDocumented.end()) << name << " = " << text << " is not written down here";
        EXPECT_EQ(documented->second, text) << name;
        built.insert(name);
    }
    for (const auto& [name, text] : kDocumented) EXPECT_EQ(1u, built.count(name)) << name << " is never built";
}

}  // namespace
