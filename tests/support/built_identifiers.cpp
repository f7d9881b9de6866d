// The identifiers and codes the agent is built with, for the check in
// tests/unit/identifier_table_test.cpp, which holds them against values
// written down without the product's headers: a GUID as the registry writes
// it, a number as the interface description writes it, a text as it stands.
#include "interfaces/guids.h"
#include "interfaces/launch_file_keys.h"
#include "interfaces/viewer_interfaces.h"
#include "module/resource_ids.h"
#include "platform/system/registry.h"
#include "platform/com/string_ids.h"
#include "tests/support/guid_text.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {
std::string Hex(long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(value) & 0xFFFFFFFFul);
    return text;
}
std::string Dec(long value) { return std::to_string(value); }
}  // namespace

std::vector<std::pair<std::string, std::string>> BuiltIdentifiers() {
    return {
        {"CLSID DMAgent", GuidText(CLSID_DMAgent)},
        {"LIBID", GuidText(LIBID_ZELDMAGENTLib)},
        {"IDMAgent", GuidText(iid_of<IDMAgent>)},
        {"IAgentFileOpen", GuidText(iid_of<IAgentFileOpen>)},
        {"IAgentPathResolve", GuidText(iid_of<IAgentPathResolve>)},
        {"IAgentMarkupSave", GuidText(iid_of<IAgentMarkupSave>)},
        {"IAgentSession", GuidText(iid_of<IAgentSession>)},
        {"CLSID helper", GuidText(CLSID_AgentHelper)},
        {"IAgentHelper", GuidText(iid_of<IAgentHelper>)},
        {"IDocumentLookup", GuidText(iid_of<IDocumentLookup>)},
        {"IPdfDocument", GuidText(iid_of<IPdfDocument>)},
        {"I2DDocument", GuidText(iid_of<I2DDocument>)},
        {"I2DLayers", GuidText(iid_of<I2DLayers>)},
        {"I3DDocument", GuidText(iid_of<I3DDocument>)},
        {"IViewerEvents", GuidText(iid_of<IViewerEvents>)},
        {"CLSID file stream", GuidText(CLSID_FileStreamSource)},
        {"IFileStreamSource", GuidText(iid_of<IFileStreamSource>)},
        {"IStream", GuidText(iid_of<IStream>)},
        {"IUnknown", GuidText(iid_of<IUnknown>)},
        {"3D view kind", GuidText(GUID_3DViewKind)},
        {"agent data owner", GuidText(GUID_AgentDataOwner)},
        {"notify start", Dec(kNotifyStart)}, {"notify viewer event", Dec(kNotifyViewerEvent)},
        {"notify query version", Dec(kNotifyQueryVersion)}, {"notify query flag", Dec(kNotifyQueryFlag)},
        {"notify save", Hex(kNotifySaveMarkup)}, {"notify document save", Hex(kNotifySaveDocumentMarkup)},
        {"notify document save too", Hex(kNotifySaveDocumentMarkupAlt)},
        {"kind PDF", Dec(kDocumentPdf)}, {"kind 2D", Dec(kDocument2D)},
        {"kind 3D", Dec(kDocument3D)}, {"kind none", Dec(kDocumentNone)},
        {"plain session type", kPlainSessionType}, {"PreserveExtensions", kPreserveExtensionsPath},
        {"REGISTRY resource", Dec(IDR_AGENT_REGISTRY)}, {"TYPELIB resource", Dec(IDR_TYPELIB)},
        {"string project name", Dec(IDS_PROJNAME)}, {"string layer write", Dec(IDS_LAYER_WRITE_FAILED)},
        {"string no permission", Dec(IDS_NO_MARKUP_PERMISSION)},
        {"string saved to file system", Dec(IDS_MARKUP_SAVED_TO_FILE_SYSTEM)},
        {"E_FAIL", Hex(E_FAIL)}, {"E_INVALIDARG", Hex(E_INVALIDARG)}, {"creation context", Dec(CLSCTX_INPROC_SERVER)},
    };
}
