#include "platform/system/launch.h"

#include <atomic>

namespace {
std::atomic<TextHook> g_launchHook{nullptr};
}  // namespace

void SetLaunchHook(TextHook hook) { g_launchHook = hook; }
TextHook CurrentLaunchHook() { return g_launchHook; }
