// What the viewer sees of the setting the agent shares with it.
#pragma once

#include "platform/com/com.h"

#include <optional>
#include <string>

namespace host {

// PreserveExtensions below the settings root (NUV_REG_ROOT honoured) in
// HKEY_CURRENT_USER; nothing when the value is absent or not a REG_DWORD.
std::optional<DWORD> ReadPreserveExtensions();
// The key the value lives in, for the report.
std::string PreserveExtensionsKey();

}  // namespace host
