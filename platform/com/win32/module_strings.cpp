#include "platform/com/module_context.h"

#include "platform/com/com.h"

namespace {
// A string table entry holds at most this many characters.
constexpr int kMaxStringLength = 4096;
}

std::string LoadModuleString(unsigned id) {
    const HMODULE module = static_cast<HMODULE>(CurrentResourceModule());
    if (!module) return std::string();
    char buffer[kMaxStringLength + 1];
    const int length = LoadStringA(module, id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}
