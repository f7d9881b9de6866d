#include "platform/launch.h"

#include "platform/registry.h"

#include <cstdlib>

namespace {
constexpr char kDefaultCaption[] = "ZelView";
}

// The viewer names its boxes after the last key name of its settings root.
std::string MessageCaption() {
    const char* root = std::getenv(kRegRootVariable);
    const std::string text = root && *root ? root : kDefaultCaption;
    const size_t last = text.rfind('\\');
    return last == std::string::npos ? text : text.substr(last + 1);
}
