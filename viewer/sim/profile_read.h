// The launch file read of ISettingsSource and IMarkupManager, which answer alike.
#pragma once

#include "platform/com/com.h"

#include <string>

namespace nuvsim {

HRESULT ServeProfileRead(const char* operation, LONG reserved, const WCHAR* section, const WCHAR* key,
                         LONG* count, WCHAR* buffer);

}  // namespace nuvsim
