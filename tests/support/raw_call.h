// Calls an interface operation the way a viewer does: through the object's
// function table at a numbered position, not through our C++ declarations.
#pragma once

#include "platform/com.h"

template <typename... Args>
HRESULT CallSlot(void* object, int slot, Args... args) {
    using Fn = HRESULT(STDMETHODCALLTYPE*)(void*, Args...);
    void** table = *static_cast<void***>(object);
    return reinterpret_cast<Fn>(table[slot])(object, args...);
}

template <typename... Args>
ULONG CallSlotUlong(void* object, int slot, Args... args) {
    using Fn = ULONG(STDMETHODCALLTYPE*)(void*, Args...);
    void** table = *static_cast<void***>(object);
    return reinterpret_cast<Fn>(table[slot])(object, args...);
}
