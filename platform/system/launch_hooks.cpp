#include "platform/system/launch.h"

#include <atomic>

namespace {
std::atomic<TextHook> g_launchHook{nullptr};
std::atomic<TextHook> g_messageHook{nullptr};
}  // namespace

void SetLaunchHook(TextHook hook) { g_launchHook = hook; }
void SetMessageHook(TextHook hook) { g_messageHook = hook; }
TextHook CurrentLaunchHook() { return g_launchHook; }
TextHook CurrentMessageHook() { return g_messageHook; }
