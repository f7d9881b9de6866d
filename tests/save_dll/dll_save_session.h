// One viewing session of an agent made by the built DLL's own class factory,
// against the stand-in viewer that the DLL loads beside it: a launch file on
// disk, saves through the agent's save interface, the recorder as the save
// command, and message boxes read and closed the way a user would.
#pragma once

#include "interfaces/agent_interfaces.h"
#include "interfaces/guids.h"
#include "platform/com/com_ptr.h"
#include "tests/module/agent_module_loader.h"
#include "tests/support/message_box.h"
#include "tests/support/recorder.h"
#include "tests/support/scoped_env.h"
#include "tests/support/user_messages.h"
#include "viewer/sim_control.h"
#include "tests/support/hresult.h"
#include "tests/support/viewer_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

class DllSaveSession : public testing::Test {
protected:
    using Words = std::vector<std::string>;

    void SetUp() override {
        ASSERT_TRUE(m_module.Loaded()) << m_module.Path();
        nuvsim::ResetViewer();
        m_dir = std::filesystem::temp_directory_path() /
                ("zeltest-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(m_dir);
    }

    void TearDown() override {
        nuvsim::CloseDocuments();
        m_save.reset();
        m_resolve.reset();
        m_agent.reset();
        EXPECT_THAT(ReferenceProblems(), testing::IsEmpty());
        nuvsim::ResetViewer();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    // A session of this launch file (ANSI bytes, the system's code page),
    // the way the viewer starts one: create, then name the launch file.
    void Start(const std::string& launchText) {
        const std::filesystem::path path = m_dir / "view.zvl";
        std::ofstream(path, std::ios::binary) << launchText;
        nuvsim::SetLaunchFile(path.string());
        nuvsim::SetDocumentKind(nuvsim::kKind2D);
        ComPtr<IClassFactory> factory;
        ASSERT_HR(S_OK, m_module.getClassObject(CLSID_DMAgent, IID_PPV(factory.put())));
        ASSERT_HR(S_OK, factory->CreateInstance(nullptr, IID_PPV(m_agent.put())));
        ASSERT_HR(S_OK, m_agent.query(m_resolve));
        ASSERT_HR(S_OK, m_agent.query(m_save));
        std::string buffer(path.string().size() + 1, '\0');
        ASSERT_HR(S_OK, m_resolve->ResolvePath(path.string().c_str(), buffer.data(), 0, 0));
    }

    // [ServerFile] and [ViewList] values; DMAgent is the recorder unless the
    // view list values name one.
    void StartWithValues(const std::string& serverFile, const std::string& viewList) {
        const bool namesProgram = viewList.find("DMAgent=") != std::string::npos;
        Start("[ServerFile]\r\nFileTypeID=PDM.Markup\r\n" + serverFile + "[ViewList]\r\n" + viewList +
              (namesProgram ? "" : "DMAgent=" + RecorderPath() + "\r\n"));
    }

    HRESULT Save(const std::string& path) { return m_save->SaveMarkup(path.c_str()); }

    Words Arguments() const { return RecordedArguments(m_recorder.WaitForRecord()); }
    std::string CommandLines() const { return "\ncommand line: " + m_recorder.CommandLines(); }

    // A refused save: the box with that message under the default caption,
    // E_FAIL, and nothing started.
    void ExpectRefusal(const std::string& path, unsigned messageId) {
        SeenBox seen;
        std::thread presser = PressOkWhenShown("ZelView", seen);
        const HRESULT hr = Save(path);
        presser.join();
        EXPECT_HR(E_FAIL, hr) << path;
        EXPECT_TRUE(seen.found) << path << ": no message box captioned ZelView";
        EXPECT_EQ(UserMessage(messageId), seen.text) << path;
    }

    void ExpectNothingLaunched() {
        EXPECT_EQ("<nothing recorded>", m_recorder.WaitForRecord(std::chrono::milliseconds(3000)))
            << CommandLines();
    }

    AgentModuleLoader m_module;
    ScopedEnv m_caption{"NUV_REG_ROOT", std::nullopt};
    RecorderOutput m_recorder;
    std::filesystem::path m_dir;
    ComPtr<IDMAgent> m_agent;
    ComPtr<IAgentPathResolve> m_resolve;
    ComPtr<IAgentMarkupSave> m_save;
};

// Saves that refuse show a message box, which needs a display.
class DllSaveRefusal : public DllSaveSession {
protected:
    void SetUp() override {
        DllSaveSession::SetUp();
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display for the message box";
    }
};
