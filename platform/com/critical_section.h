// A lock for the module's own bookkeeping: CriticalSection is the build's own
// (os/critical_section.h: on Windows a critical section, usable from DllMain
// without any thread library; natively a mutex); the guard is shared.
#pragma once

#include "os/critical_section.h"

class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& section) : m_section(section) { m_section.Enter(); }
    ~CriticalSectionLock() { m_section.Leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& m_section;
};
