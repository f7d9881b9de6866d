// A lock for the module's own bookkeeping. On Windows a critical section, so
// that it is usable from DllMain without any thread library; natively a mutex.
#pragma once

#include "platform/com.h"

#ifndef _WIN32
#include <mutex>
#endif

class CriticalSection {
public:
#ifdef _WIN32
    CriticalSection() { InitializeCriticalSection(&m_section); }
    ~CriticalSection() { DeleteCriticalSection(&m_section); }
    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }
#else
    CriticalSection() = default;
    void Enter() { m_mutex.lock(); }
    void Leave() { m_mutex.unlock(); }
#endif
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

private:
#ifdef _WIN32
    CRITICAL_SECTION m_section;
#else
    std::mutex m_mutex;
#endif
};

class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& section) : m_section(section) { m_section.Enter(); }
    ~CriticalSectionLock() { m_section.Leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& m_section;
};
