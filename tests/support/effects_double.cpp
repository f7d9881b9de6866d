#include "tests/support/effects_double.h"

#include "platform/system/launch.h"
#include "platform/system/message.h"

#include <atomic>

namespace {
std::atomic<TextHook> g_messageHook{nullptr};
std::atomic<TextHook> g_launchHook{nullptr};
}  // namespace

void SetMessageHook(TextHook hook) { g_messageHook = hook; }
void SetLaunchHook(TextHook hook) { g_launchHook = hook; }

int ShowMessage(const std::string& text) {
    if (const TextHook hook = g_messageHook) return hook(text);
    return ShowMessageBox(MessageCaption(), text);
}

int LaunchCommand(const std::string& command) {
    if (const TextHook hook = g_launchHook) return hook(command);
    return StartCommand(command);
}
