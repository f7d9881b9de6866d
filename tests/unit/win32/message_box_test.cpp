// The message box a refused save shows, found and closed the way a user
// would: by its caption, reading its text, pressing OK.

#include "platform/system/message.h"

#include "platform/system/registry.h"
#include "tests/support/message_box.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using namespace std::chrono_literals;

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
