// Creates one agent object: stand-alone when outer is null, else aggregated
// inside outer (then iid must be IUnknown and the inner IUnknown comes back).
#pragma once

#include "platform/com/com.h"

HRESULT CreateAgentObject(IUnknown* outer, REFIID iid, void** out);
