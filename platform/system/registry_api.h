// The registry calls the agent makes. The Windows build uses the system's;
// the native build declares the same subset, served by a small store of our
// own kept in a file (registry_api.h of platform/system/win32/ or
// platform/system/native/), so that the same registry code runs in both
// builds and a native viewer can read what the agent wrote.
#pragma once

#include "platform/build_part.h"
#include ZEL_PLATFORM_HEADER(system, registry_api.h)
#include "platform/com/unique_resource.h"

// Owns one open registry key.
struct HkeyTraits {
    using Handle = HKEY;
    static constexpr Handle kEmpty = nullptr;
    static void Close(Handle key) { RegCloseKey(key); }
};
using UniqueHkey = UniqueResource<HkeyTraits>;
