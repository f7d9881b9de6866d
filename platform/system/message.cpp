#include "platform/system/message.h"

#include "platform/text/ansi_code_page.h"
#include "platform/system/registry.h"

#include <cstdlib>

namespace {
constexpr char kDefaultCaption[] = "ZelView";
constexpr char kKeySeparator[] = "\\";
}  // namespace

// The viewer names its boxes after the last key name of its settings root;
// a key name may hold a double-byte character whose second byte is "\".
std::string MessageCaption() {
    const char* root = std::getenv(kRegRootVariable);
    const std::string text = root && *root ? root : kDefaultCaption;
    const size_t last = FindLastCharacterOf(text, kKeySeparator);
    return last == std::string::npos ? text : text.substr(last + 1);
}
