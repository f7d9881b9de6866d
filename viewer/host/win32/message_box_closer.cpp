#include "viewer/host/message_box_closer.h"

#include <windows.h>

#include <chrono>

namespace host {

namespace {
constexpr int kStaticTextId = 0xFFFF;
constexpr auto kPollInterval = std::chrono::milliseconds(50);
constexpr auto kGiveUpAfter = std::chrono::seconds(30);

struct BoxSearch {
    const char* caption;
    HWND found;
};

// Only this process's box: another program of the same display may show
// one under the same caption.
BOOL CALLBACK MatchBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    if (process != GetCurrentProcessId() || search->caption != std::string(title)) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

MessageBoxCloser::MessageBoxCloser(const std::string& caption) : m_caption(caption) {
    m_thread = std::thread([this] {
        const auto deadline = std::chrono::steady_clock::now() + kGiveUpAfter;
        while (!m_stop && std::chrono::steady_clock::now() < deadline) {
            BoxSearch search{m_caption.c_str(), nullptr};
            EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                char text[512] = {};
                GetWindowTextA(GetDlgItem(search.found, kStaticTextId), text, sizeof text);
                m_text = text;
                PostMessageA(search.found, WM_COMMAND, IDOK, 0);
                return;
            }
            std::this_thread::sleep_for(kPollInterval);
        }
    });
}

MessageBoxCloser::~MessageBoxCloser() { Finish(); }

std::string MessageBoxCloser::Finish() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    return m_text;
}

}  // namespace host
