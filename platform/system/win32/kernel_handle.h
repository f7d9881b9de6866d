// A kernel object's handle (a file, a file mapping, an event), closed with
// CloseHandle. Included by its path by the Windows-only sources.
#pragma once

#include "platform/com/com.h"
#include "platform/com/unique_resource.h"

struct KernelHandleTraits {
    using Handle = HANDLE;
    static constexpr Handle kEmpty = nullptr;
    static void Close(Handle handle) { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueResource<KernelHandleTraits>;
