// Calls an interface operation the way a viewer does: through the object's
// function table at a numbered position, not through our C++ declarations.
#pragma once

#include "platform/com/com.h"

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

#if defined(_WIN32) && defined(__i386__)
#include <cstdint>

// Calls a __stdcall operation with 32-bit arguments pushed by hand and
// returns how many bytes of them the callee popped: a callee that pops a
// different count from what the viewer pushed corrupts the viewer's stack.
template <typename... Args>
int BytesPoppedBySlot(void* object, int slot, Args... args) {
    static_assert(((sizeof(Args) == 4) && ...), "every argument is one 32-bit word");
    uint32_t words[] = {reinterpret_cast<uint32_t>(object), (uint32_t)(uintptr_t)(args)...};
    struct Frame {
        void* fn;
        int count;
        uint32_t* words;
        int left;
    } frame{(*static_cast<void***>(object))[slot], static_cast<int>(sizeof...(Args)) + 1, words, 0};
    // edi survives the call (callee-saved) and esi keeps the stack as it was.
    asm volatile(
        "movl %%esp, %%esi\n\t"
        "movl 4(%%edi), %%ecx\n\t"
        "movl 8(%%edi), %%edx\n\t"
        "1:\n\t"
        "pushl -4(%%edx,%%ecx,4)\n\t"
        "loop 1b\n\t"
        "call *(%%edi)\n\t"
        "movl %%esi, %%ecx\n\t"
        "subl %%esp, %%ecx\n\t"
        "movl %%esi, %%esp\n\t"
        "movl %%ecx, 12(%%edi)\n\t"
        :
        : "D"(&frame)
        : "eax", "ecx", "edx", "esi", "memory", "cc");
    return frame.count * 4 - frame.left;
}
#endif
