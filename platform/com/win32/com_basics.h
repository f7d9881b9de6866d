// The COM basics of the Windows build: the system's headers. Reached as
// through platform/com/com.h.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>

// The system's own interfaces keep the system's identifiers.
template <>
struct InterfaceId<IUnknown> {
    static constexpr const IID& value = IID_IUnknown;
};
template <>
struct InterfaceId<IStream> {
    static constexpr const IID& value = IID_IStream;
};
template <>
struct InterfaceId<IClassFactory> {
    static constexpr const IID& value = IID_IClassFactory;
};
