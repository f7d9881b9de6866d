#include "platform/system/message.h"

#include "platform/com/com.h"

#include <cstdio>

// No windows here: the message goes to standard error, and OK counts as
// pressed at once.
int ShowMessage(const std::string& text) {
    if (const TextHook hook = CurrentMessageHook()) return hook(text);
    std::fprintf(stderr, "%s: %s\n", MessageCaption().c_str(), text.c_str());
    std::fflush(stderr);
    return IDOK;
}
