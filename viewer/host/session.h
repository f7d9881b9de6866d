// One viewing session, played the way the viewer plays it, with a report of
// what the agent did on standard output.
#pragma once

#include "viewer/host/options.h"

namespace host {

// Exit codes of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitSessionFailed = 1;  // a step of the session failed or references stayed held
inline constexpr int kExitUsage = 2;
inline constexpr int kExitSetup = 3;  // launch file, module or registration missing

int RunSession(const Options& options);

}  // namespace host
