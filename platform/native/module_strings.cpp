// The native build has no resources: the module's string table lives here,
// with the texts of module/strings.rc.
#include "platform/module_context.h"

#include "platform/string_ids.h"

namespace {

struct StringEntry {
    unsigned id;
    const char* text;
};

constexpr StringEntry kStringTable[] = {
    {IDS_PROJNAME, "ZelDMAgent"},
    {IDS_LAYER_WRITE_FAILED, "Failed to write layer to disk"},
    {IDS_NO_MARKUP_PERMISSION, "You do not have permission to update markup"},
    {IDS_MARKUP_SAVED_TO_FILE_SYSTEM, "Markup will be saved  to the file system"},
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
