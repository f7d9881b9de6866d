// zelview-sim: the stand-in viewer's host program. It plays the viewer for
// one session of the agent and reports what the agent did.
#include "viewer/host/options.h"
#include "viewer/host/session.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::string error;
    const host::Options options = host::ParseOptions(argc, argv, error);
    if (options.help) {
        std::fputs(host::UsageText(), stdout);
        return host::kExitOk;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "zelview-sim: %s\n", error.c_str());
        return host::kExitUsage;
    }
    return host::RunSession(options);
}
