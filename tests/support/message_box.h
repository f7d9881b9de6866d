// Finds a message box of this process by its caption on another thread,
// notes its text and presses OK, the way a user would.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include "tests/support/wait_scale.h"

#include <chrono>
#include <string>
#include <thread>

struct SeenBox {
    bool found = false;
    std::string text;
};

namespace message_box_detail {
struct BoxSearch {
    const char* caption;
    HWND found;
};

// Only a box of this process: other tests of the same Wine session may show
// boxes of their own under the same caption.
inline BOOL CALLBACK MatchBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    if (process != GetCurrentProcessId() || std::string(title) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace message_box_detail

inline std::thread PressOkWhenShown(const std::string& caption, SeenBox& seen,
                                    std::chrono::milliseconds wait = std::chrono::seconds(10)) {
    return std::thread([caption, &seen, wait] {
        constexpr int kStaticTextId = 0xFFFF;
        const auto deadline = std::chrono::steady_clock::now() + ScaledWait(wait);
        while (std::chrono::steady_clock::now() < deadline) {
            message_box_detail::BoxSearch search{caption.c_str(), nullptr};
            EnumWindows(message_box_detail::MatchBox, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                char text[512] = {};
                GetWindowTextA(GetDlgItem(search.found, kStaticTextId), text, sizeof text);
                seen.found = true;
                seen.text = text;
                PostMessageA(search.found, WM_COMMAND, IDOK, 0);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
}

#endif  // _WIN32
