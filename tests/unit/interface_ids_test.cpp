// The identifiers the agent is built with: every interface has one of its
// own, and the agent's class and library carry the identifiers that its
// registry script gives them. (The code takes the class, library and
// interface identifiers from the type library source itself.)
#include "interfaces/agent_interfaces.h"
#include "interfaces/guids.h"
#include "interfaces/viewer_interfaces.h"
#include "tests/support/guid_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using testing::ElementsAre;

// Two interfaces under one identifier would answer each other's queries.
TEST(InterfaceIds, EveryInterfaceHasItsOwn) {
    const std::pair<const char*, GUID> ids[] = {
        {"IUnknown", iid_of<IUnknown>},
        {"IDMAgent", iid_of<IDMAgent>},
        {"IAgentFileOpen", iid_of<IAgentFileOpen>},
        {"IAgentPathResolve", iid_of<IAgentPathResolve>},
        {"IAgentMarkupSave", iid_of<IAgentMarkupSave>},
        {"IAgentNotify", iid_of<IAgentNotify>},
        {"IAgentSession", iid_of<IAgentSession>},
        {"IAgentSessionControl", iid_of<IAgentSessionControl>},
        {"IAgentHelper", iid_of<IAgentHelper>},
        {"IDocumentLookup", iid_of<IDocumentLookup>},
        {"ISettingsSource", iid_of<ISettingsSource>},
        {"IMarkupManager", iid_of<IMarkupManager>},
        {"IViewerSession", iid_of<IViewerSession>},
        {"IPdfDocument", iid_of<IPdfDocument>},
        {"I2DDocument", iid_of<I2DDocument>},
        {"I2DLayers", iid_of<I2DLayers>},
        {"I3DDocument", iid_of<I3DDocument>},
        {"IViewerEvents", iid_of<IViewerEvents>},
        {"IFileStreamSource", iid_of<IFileStreamSource>},
    };
    for (auto a = std::begin(ids); a != std::end(ids); ++a)
        for (auto b = a + 1; b != std::end(ids); ++b)
            EXPECT_NE(a->second, b->second) << a->first << " and " << b->first;
}

#ifndef _WIN32
// The Windows build compiles these files into the module; the native build
// does not, so here they are read as text.

// The identifiers a source file names, upper case and in braces, in order.
std::vector<std::string> IdentifiersIn(const std::string& file, const std::regex& pattern) {
    std::ifstream in(std::string(ZEL_SOURCE_DIR) + "/" + file);
    EXPECT_TRUE(in) << "cannot read " << ZEL_SOURCE_DIR << "/" << file;
    std::stringstream text;
    text << in.rdbuf();
    const std::string content = text.str();
    std::vector<std::string> found;
    for (std::sregex_iterator match(content.begin(), content.end(), pattern), end; match != end; ++match) {
        std::string id = (*match)[1];
        for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        found.push_back("{" + id + "}");
    }
    return found;
}

TEST(InterfaceIds, TheRegistryScriptNamesTheAgentsClassAndLibrary) {
    const std::string cls = GuidText(CLSID_DMAgent);
    // Both ProgIDs, the class key, then the class's type library.
    EXPECT_THAT(IdentifiersIn("module/ZelDMAgent.rgs", std::regex(R"(\{([0-9A-Fa-f-]+)\})")),
                ElementsAre(cls, cls, cls, GuidText(LIBID_ZELDMAGENTLib)));
}
#endif

}  // namespace
