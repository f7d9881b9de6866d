// What one run of the stand-in viewer is asked to do, from its command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace host {

struct Options {
    std::string launchFile;
    // "pdf", "2d" or "3d"; empty: told by the server file's extension.
    std::string kind;
    long documentKey = 1;
    long documentHandle = 1;
    std::string agentData;
    std::vector<std::string> saveMarkups;
    // How long to wait for the save command's record after each launch.
    double waitSaveSeconds = 2.0;
    // Where the save command records what it got; empty: from the environment.
    std::string recordFile;
    bool autoOk = false;
    // The viewer's helper keeps a reference on the agent from RegisterAgent
    // until the session ends.
    bool helperKeepsAgent = false;
    bool trace = false;
    bool help = false;
};

// Empty error on success.
Options ParseOptions(int argc, char** argv, std::string& error);
const char* UsageText();

}  // namespace host
