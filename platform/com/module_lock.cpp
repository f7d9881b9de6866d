#include "platform/com/module_lock.h"

#include <atomic>

namespace {
std::atomic<LONG> g_lockCount{0};
}

LONG ModuleLockCount() { return g_lockCount.load(); }
void LockModule() { g_lockCount.fetch_add(1); }
void UnlockModule() { g_lockCount.fetch_sub(1); }
