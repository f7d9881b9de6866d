// The message box a refused save shows, found and closed the way a user
// would: by its caption, reading its text, pressing OK.
#ifdef _WIN32

#include "platform/launch.h"

#include "platform/registry.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto kBoxWait = 10s;
constexpr int kStaticTextId = 0xFFFF;

struct BoxSearch {
    const char* caption;
    HWND found;
};

// Only a box of this process: other tests of the same Wine session may show
// boxes of their own under the same caption.
BOOL CALLBACK MatchBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    if (process != GetCurrentProcessId() || std::string(title) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

struct SeenBox {
    bool found = false;
    std::string text;
};

// Waits for the box on another thread, notes its text and presses OK.
std::thread PressOkWhenShown(const std::string& caption, SeenBox& seen) {
    return std::thread([caption, &seen] {
        const auto deadline = std::chrono::steady_clock::now() + kBoxWait;
        while (std::chrono::steady_clock::now() < deadline) {
            BoxSearch search{caption.c_str(), nullptr};
            EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                char text[512] = {};
                GetWindowTextA(GetDlgItem(search.found, kStaticTextId), text, sizeof text);
                seen.found = true;
                seen.text = text;
                PostMessageA(search.found, WM_COMMAND, IDOK, 0);
                return;
            }
            std::this_thread::sleep_for(50ms);
        }
    });
}

class MessageBoxTest : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display for a message box";
    }

    void ExpectBox(const std::string& caption, const std::string& text) {
        SeenBox seen;
        std::thread presser = PressOkWhenShown(caption, seen);
        EXPECT_EQ(ShowMessage(text), IDOK);
        presser.join();
        EXPECT_TRUE(seen.found) << "no box captioned " << caption;
        EXPECT_EQ(seen.text, text);
    }
};

TEST_F(MessageBoxTest, DefaultCaptionIsTheViewersName) {
    ScopedEnv env(kRegRootVariable, std::nullopt);
    ExpectBox("ZelView", "You do not have permission to update markup");
}

TEST_F(MessageBoxTest, CaptionFollowsTheSettingsRoot) {
    ScopedEnv env(kRegRootVariable, std::string("A\\B\\4.1"));
    ExpectBox("4.1", "Markup will be saved  to the file system");
}

}  // namespace

#endif  // _WIN32
