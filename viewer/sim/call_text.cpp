#include "viewer/sim/call_text.h"

#include "interfaces/guids.h"
#include "interfaces/viewer_interfaces.h"

#include <cstdio>
#include <iterator>

namespace nuvsim {
namespace {

// Long texts are cut in the log so that one value cannot swamp it.
constexpr size_t kMaxLoggedChars = 300;

struct NamedGuid {
    const GUID* guid;
    const char* name;
};

const NamedGuid kKnownGuids[] = {
    {&iid_of<IUnknown>, "IUnknown"},
    {&iid_of<IStream>, "IStream"},
    {&iid_of<IClassFactory>, "IClassFactory"},
    {&CLSID_AgentHelper, "AgentHelper"},
    {&CLSID_FileStreamSource, "FileStreamSource"},
    {&iid_of<IAgentHelper>, "IAgentHelper"},
    {&iid_of<IDocumentLookup>, "IDocumentLookup"},
    {&iid_of<IFileStreamSource>, "IFileStreamSource"},
    {&iid_of<IPdfDocument>, "IPdfDocument"},
    {&iid_of<I2DDocument>, "I2DDocument"},
    {&iid_of<I2DLayers>, "I2DLayers"},
    {&iid_of<I3DDocument>, "I3DDocument"},
    {&iid_of<IViewerEvents>, "IViewerEvents"},
    {&iid_of<ISettingsSource>, "ISettingsSource"},
    {&iid_of<IMarkupManager>, "IMarkupManager"},
    {&iid_of<IViewerSession>, "IViewerSession"},
    {&GUID_3DViewKind, "3DViewKind"},
    {&GUID_AgentDataOwner, "AgentDataOwner"},
    {&iid_of<IDMAgent>, "IDMAgent"},
    {&iid_of<IAgentNotify>, "IAgentNotify"},
    {&iid_of<IAgentMarkupSave>, "IAgentMarkupSave"},
};

void AppendUnit(std::string& out, unsigned long unit) {
    if (unit >= 0x20 && unit < 0x7F) {
        out += static_cast<char>(unit);
        return;
    }
    char hex[12];
    std::snprintf(hex, sizeof hex, unit <= 0xFF ? "\\x%02lX" : "\\u%04lX", unit);
    out += hex;
}

template <typename Char, typename Unsigned>
std::string QuoteUnits(const Char* text) {
    if (!text) return "null";
    std::string out = "\"";
    size_t i = 0;
    for (; text[i] && i < kMaxLoggedChars; ++i) AppendUnit(out, static_cast<Unsigned>(text[i]));
    if (text[i]) out += "...";
    return out + "\"";
}

}  // namespace

std::string Quote(const char* text) { return QuoteUnits<char, unsigned char>(text); }

std::string QuoteWide(const WCHAR* text) { return QuoteUnits<WCHAR, unsigned long>(text); }

std::string Number(long value) { return std::to_string(value); }

std::string GuidText(REFGUID guid) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

std::string GuidName(REFGUID guid) {
    for (const NamedGuid& known : kKnownGuids) {
        if (IsEqualGUID(*known.guid, guid)) return known.name;
    }
    return GuidText(guid);
}

std::string PointerArg(const void* pointer, const char* label) { return pointer ? label : "null"; }

std::string Join(std::initializer_list<std::string> parts) {
    std::string out;
    for (const std::string& part : parts) {
        if (!out.empty()) out += ", ";
        out += part;
    }
    return out;
}

}  // namespace nuvsim
