// Identifiers in the checks' failure texts as the registry writes them,
// "{FE4F5263-11D5-D724-D5BA-A978983B6369}", not as sixteen bytes.
#pragma once

#include "platform/com/com.h"

#include <cstdio>
#include <ostream>
#include <string>

inline std::string GuidText(const GUID& guid) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

inline void PrintTo(const GUID& guid, std::ostream* out) { *out << GuidText(guid); }
