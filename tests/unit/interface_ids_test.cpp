// The identifiers the agent is built with: every interface has one of its
// own. (The code and the registry script take the class, library and
// interface identifiers from the type library source itself.)
#include "interfaces/agent_interfaces.h"
#include "interfaces/guids.h"
#include "interfaces/viewer_interfaces.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

namespace {

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

}  // namespace
