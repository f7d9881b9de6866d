#pragma once

#include "platform/com/com.h"

#include <string>

namespace host {
// "S_OK", "E_FAIL (0x80004005)", or the bare hexadecimal value.
std::string HresultText(HRESULT hr);
}  // namespace host
