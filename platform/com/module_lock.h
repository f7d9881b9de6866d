// The module's lock count: how many reasons the DLL has to stay loaded (live
// agents, held class factory references, server locks). Changed only by
// interlocked operations, from any thread.
#pragma once

#include "platform/com/com.h"

LONG ModuleLockCount();
void LockModule();
void UnlockModule();

// Holds one count for as long as it lives.
class ModuleLock {
public:
    ModuleLock() { LockModule(); }
    ~ModuleLock() { UnlockModule(); }
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
};
