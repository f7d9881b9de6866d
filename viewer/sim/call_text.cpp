#include "viewer/sim/call_text.h"

#include "agent/guids.h"

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
    {&IID_IUnknown, "IUnknown"},
    {&IID_IStream, "IStream"},
    {&IID_IClassFactory, "IClassFactory"},
    {&CLSID_AgentHelper, "AgentHelper"},
    {&CLSID_FileStreamSource, "FileStreamSource"},
    {&IID_IAgentHelper, "IAgentHelper"},
    {&IID_IDocumentLookup, "IDocumentLookup"},
    {&IID_IFileStreamSource, "IFileStreamSource"},
    {&IID_IPdfDocument, "IPdfDocument"},
    {&IID_I2DDocument, "I2DDocument"},
    {&IID_I2DLayers, "I2DLayers"},
    {&IID_I3DDocument, "I3DDocument"},
    {&IID_IViewerEvents, "IViewerEvents"},
    {&IID_ISettingsSource, "ISettingsSource"},
    {&IID_IMarkupManager, "IMarkupManager"},
    {&IID_IViewerSession, "IViewerSession"},
    {&GUID_3DViewKind, "3DViewKind"},
    {&GUID_AgentDataOwner, "AgentDataOwner"},
    {&IID_IDMAgent, "IDMAgent"},
    {&IID_IAgentNotify, "IAgentNotify"},
    {&IID_IAgentMarkupSave, "IAgentMarkupSave"},
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
