// A viewing session whose markup saves run for real: the save command is the
// recorder program (tests/tools), and a message the agent shows is read and
// closed the way a user would close it.
#pragma once

#include "tests/support/agent_fixture.h"
#include "tests/support/message_box.h"
#include "tests/support/recorder.h"
#include "tests/support/user_messages.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

class SaveSessionTest : public AgentSessionTest {
protected:
    using Words = std::vector<std::string>;

    // What the user was shown during a save.
    struct Shown {
        HRESULT hr = S_OK;
        bool box = false;
        std::string text;
    };

    HRESULT Save(const char* path) { return Session<IAgentMarkupSave>()->SaveMarkup(path); }

    // A save that is expected to show a message under that caption. Windows
    // needs a display for the box; without one the test is skipped.
    Shown SaveSeeingMessage(const char* path, const std::string& caption = "ZelView") {
        Shown shown;
#ifdef _WIN32
        SeenBox seen;
        std::thread presser = PressOkWhenShown(caption, seen);
        shown.hr = Save(path);
        presser.join();
        shown.box = seen.found;
        shown.text = seen.text;
#else
        testing::internal::CaptureStderr();
        shown.hr = Save(path);
        const std::string text = testing::internal::GetCapturedStderr();
        // The native box is one line on standard error: caption, colon, text.
        const std::string head = caption + ": ";
        shown.box = text.rfind(head, 0) == 0 && !text.empty() && text.back() == '\n';
        if (shown.box) shown.text = text.substr(head.size(), text.size() - head.size() - 1);
        else shown.text = text;
#endif
        return shown;
    }

    static bool CanShowMessages() {
#ifdef _WIN32
        return std::getenv("DISPLAY") != nullptr;
#else
        return true;
#endif
    }

    // A refused save: the box with that message, E_FAIL, and nothing started.
    void ExpectRefusal(const char* path, unsigned messageId) {
        const Shown shown = SaveSeeingMessage(path);
        EXPECT_HR(E_FAIL, shown.hr) << path;
        EXPECT_TRUE(shown.box) << path << ": no message box";
        EXPECT_EQ(UserMessage(messageId), shown.text) << path;
    }

    Words Arguments() const { return RecordedArguments(m_recorder.WaitForRecord()); }

    RecorderOutput m_recorder;
};

// Saves that refuse: on Windows these need a display for their boxes.
class SaveRefusalTest : public SaveSessionTest {
protected:
    void SetUp() override {
        SaveSessionTest::SetUp();
        if (!CanShowMessages()) GTEST_SKIP() << "no display for the message box";
    }
};
