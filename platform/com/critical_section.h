// A lock for the module's own bookkeeping: CriticalSection is the build's own
// (critical_section.h of platform/com/win32/ or native/: on Windows a
// critical section, usable from DllMain without any thread library; natively
// a mutex); the guard is shared.
#pragma once

#include "platform/build_part.h"
#include ZEL_PLATFORM_HEADER(com, critical_section.h)

class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& section) : m_section(section) { m_section.Enter(); }
    ~CriticalSectionLock() { m_section.Leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& m_section;
};
