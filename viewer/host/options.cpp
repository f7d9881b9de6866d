#include "viewer/host/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace host {
namespace {

bool ParseLong(const char* text, long& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0') return false;
    value = parsed;
    return true;
}

bool ParseSeconds(const char* text, double& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (*end != '\0' || parsed < 0 || parsed > 600) return false;
    value = parsed;
    return true;
}

}  // namespace

const char* UsageText() {
    return "usage: zelview-sim LAUNCH_FILE [options]\n"
           "Plays the viewer for one session of the agent: opens the launch file, loads the\n"
           "document's markups, saves markups and keeps the view list in the agent data.\n"
           "\n"
           "  --kind pdf|2d|3d      document kind (default: from the server file's extension)\n"
           "  --document N          document handle the viewer opens (default 1)\n"
           "  --document-key N      second value of the document key (default 1)\n"
           "  --agent-data FILE     the viewer's agent data: read before, written after\n"
           "  --save-markup PATH    save a markup the viewer wrote at PATH (repeatable)\n"
           "  --wait-save SECONDS   wait this long for the save command's record (default 2, 0: no wait)\n"
           "  --record-file FILE    where the save command records (default $PDM_SAVE_LOG,\n"
           "                        else $ZEL_RECORDER_OUT)\n"
           "  --auto-ok             press OK on the agent's message box (Windows)\n"
           "  --helper-keeps-agent  the viewer's helper keeps the agent it is given until the\n"
           "                        session ends, after the viewer's own reference\n"
           "  --trace               list every viewer call the agent made\n"
           "  --help                this text\n";
}

Options ParseOptions(int argc, char** argv, std::string& error) {
    Options options;
    error.clear();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        auto takeValue = [&]() -> const char* {
            if (!next) {
                error = arg + " needs a value";
                return nullptr;
            }
            ++i;
            return next;
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--auto-ok") {
            options.autoOk = true;
        } else if (arg == "--helper-keeps-agent") {
            options.helperKeepsAgent = true;
        } else if (arg == "--kind") {
            const char* value = takeValue();
            if (!value) return options;
            options.kind = value;
            if (options.kind != "pdf" && options.kind != "2d" && options.kind != "3d") {
                error = "--kind takes pdf, 2d or 3d, not " + options.kind;
                return options;
            }
        } else if (arg == "--document" || arg == "--document-key") {
            const char* value = takeValue();
            if (!value) return options;
            long& target = arg == "--document" ? options.documentHandle : options.documentKey;
            if (!ParseLong(value, target)) {
                error = arg + " takes a number, not " + value;
                return options;
            }
        } else if (arg == "--agent-data") {
            const char* value = takeValue();
            if (!value) return options;
            options.agentData = value;
        } else if (arg == "--save-markup") {
            const char* value = takeValue();
            if (!value) return options;
            options.saveMarkups.push_back(value);
        } else if (arg == "--wait-save") {
            const char* value = takeValue();
            if (!value) return options;
            if (!ParseSeconds(value, options.waitSaveSeconds)) {
                error = "--wait-save takes seconds from 0 to 600, not " + std::string(value);
                return options;
            }
        } else if (arg == "--record-file") {
            const char* value = takeValue();
            if (!value) return options;
            options.recordFile = value;
        } else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option " + arg + " (see --help)";
            return options;
        } else if (options.launchFile.empty()) {
            options.launchFile = arg;
        } else {
            error = "only one launch file, not also " + arg;
            return options;
        }
    }
    if (!options.help && options.launchFile.empty()) error = "no launch file given (see --help)";
    return options;
}

}  // namespace host
