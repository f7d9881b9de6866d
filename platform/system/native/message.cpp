#include "platform/system/message.h"

#include "platform/com/com.h"

#include <cstdio>

// No windows here: the message goes to standard error, and OK counts as
// pressed at once.
int ShowMessageBox(const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    return IDOK;
}
