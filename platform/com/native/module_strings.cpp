// The native build has no resources: the module's string table is compiled
// in, its entries generated from module/strings.rc (module/embed_strings.cmake).
#include "platform/com/module_context.h"

#include "platform/com/string_ids.h"

namespace {

struct StringEntry {
    unsigned id;
    const char* text;
};

constexpr StringEntry kStringTable[] = {
#include "module_string_table.inc"
};

}  // namespace

// The table is compiled into whichever binary holds the agent, so it is the
// agent's own whatever module context is current.
std::string LoadModuleString(unsigned id) {
    for (const StringEntry& entry : kStringTable) {
        if (entry.id == id) return entry.text;
    }
    return std::string();
}
