// How long a test waits for what another process does (a launched program,
// a message box). Wine under a software CPU (winevm/) runs every program
// several times more slowly; ./run passes the factor in ZEL_WINE_TIMEOUT_SCALE.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>

inline std::chrono::milliseconds ScaledWait(std::chrono::milliseconds wait) {
    const char* text = std::getenv("ZEL_WINE_TIMEOUT_SCALE");
    const int scale = text ? std::atoi(text) : 1;
    return wait * std::clamp(scale, 1, 100);
}
