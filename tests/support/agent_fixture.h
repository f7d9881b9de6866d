// A viewing session against the stand-in viewer: a launch file on disk, one
// agent created the way the viewer creates it, and the check, after every
// test, that the agent gave back every reference the viewer handed out.
#pragma once

#include "agent/agent_factory.h"
#include "agent/dm_agent.h"
#include "interfaces/guids.h"
#include "platform/com/com_ptr.h"
#include "platform/system/launch.h"
#include "platform/system/message.h"
#include "platform/com/module_context.h"
#include "platform/system/registry_api.h"
#include "tests/support/temp_registry.h"
#include "viewer/sim_control.h"
#include "tests/support/hresult.h"
#include "tests/support/viewer_state.h"
#include "tests/support/effects_double.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class AgentSessionTest : public testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        // The test executable carries the agent's string table.
        SetAgentModule(GetModuleHandle(nullptr));
#endif
        nuvsim::ResetViewer();
        m_dir = std::filesystem::temp_directory_path() /
                ("zelagent-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }

    void TearDown() override {
        // The viewer lets go of the agent's sinks and handlers when it closes
        // its documents; only then can the agent die.
        nuvsim::CloseDocuments();
        ReleaseAgent();
        EXPECT_THAT(ReferenceProblems(), testing::IsEmpty());
        nuvsim::ResetViewer();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    // Writes a launch file and tells the viewer it is the session's.
    std::string WriteLaunchFile(const std::string& text, const std::string& name = "view.zvl") {
        const std::filesystem::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << text;
        nuvsim::SetLaunchFile(path.string());
        return path.string();
    }

    void CreateAgent() {
        ASSERT_HR(S_OK, CreateAgentObject(nullptr, IID_PPV(&m_agent)));
        m_impl = static_cast<CDMAgent*>(m_agent);
    }

    void ReleaseAgent() {
        if (m_agent) {
            EXPECT_EQ(0u, m_agent->Release());
            m_agent = nullptr;
            m_impl = nullptr;
        }
    }

    // The viewer's first call: it names the launch file.
    HRESULT Resolve(const std::string& path) {
        std::string buffer(path.size() + 1, '\0');
        return Session<IAgentPathResolve>()->ResolvePath(path.c_str(), buffer.data(), 0, 0);
    }

    HRESULT StartSession(const std::string& launchText, LONG kind) {
        nuvsim::SetDocumentKind(kind);
        const std::string path = WriteLaunchFile(launchText);
        CreateAgent();
        return Resolve(path);
    }

    template <typename T>
    T* Session() {
        if constexpr (std::is_same_v<T, IAgentNotify>) return static_cast<IAgentNotify*>(m_impl);
        else if constexpr (std::is_same_v<T, IAgentSessionControl>) return static_cast<IAgentSessionControl*>(m_impl);
        else return static_cast<T*>(m_impl);
    }
    IAgentSession* AgentSession() { return Session<IAgentSession>(); }

    // Lines of the call log that begin with prefix.
    static std::vector<std::string> LogLines(const std::string& prefix = "") {
        std::vector<std::string> lines;
        for (const std::string& line : nuvsim::CallLog())
            if (line.rfind(prefix, 0) == 0) lines.push_back(line);
        return lines;
    }

    std::filesystem::path m_dir;
    TempRegistry m_registry;
    IDMAgent* m_agent = nullptr;
    CDMAgent* m_impl = nullptr;
};

// The viewer's helper component, as the agent gets it, for tests that drive
// the record and the agent data store directly.
class ViewerHelperTest : public AgentSessionTest {
protected:
    void SetUp() override {
        AgentSessionTest::SetUp();
        ASSERT_HR(S_OK, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(m_helper.put())));
    }
    void TearDown() override {
        m_helper.reset();
        AgentSessionTest::TearDown();
    }

    // Its name among the viewer's objects.
    static constexpr const char* kHelperName = "AgentHelper#1";
    ComPtr<IAgentHelper> m_helper;
};

// A session whose save commands and messages are captured: nothing is
// started and no box is shown.
class QuietSessionTest : public AgentSessionTest {
protected:
    void SetUp() override {
        AgentSessionTest::SetUp();
        Launched().clear();
        SetLaunchHook(Record);
        SetMessageHook(Swallow);
    }
    void TearDown() override {
        AgentSessionTest::TearDown();
        SetLaunchHook(nullptr);
        SetMessageHook(nullptr);
    }

    // The save command lines the agent launched, in order.
    static std::vector<std::string>& Launched() {
        static std::vector<std::string> lines;
        return lines;
    }

private:
    static int Record(const std::string& line) {
        Launched().push_back(line);
        return 0;
    }
    static int Swallow(const std::string&) { return 0; }
};

// PreserveExtensions as the viewer reads it back: -1 when absent.
inline long ReadDword(const std::string& keyPath, const char* name) {
    UniqueHkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return -1;
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        return -1;
    return type == REG_DWORD ? static_cast<long>(value) : -1;
}
