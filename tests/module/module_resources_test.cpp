// The resources that installers and the loader read from the DLL.

#include "platform/com/com.h"
#include "platform/com/string_ids.h"
#include "tests/module/agent_module_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string ModuleFile() { return TestExecutableFolder() + "ZelDMAgent.dll"; }

class ModuleVersion : public testing::Test {
protected:
    void SetUp() override {
        DWORD handle = 0;
        const std::string file = ModuleFile();
        const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
        ASSERT_GT(size, 0u);
        m_data.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, m_data.data())) << file << ": " << GetLastError();
    }
    // A value of the 040904B0 block; nullopt-like "<missing>" when absent.
    std::string Value(const char* name) {
        void* text = nullptr;
        UINT length = 0;
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(m_data.data(), path.c_str(), &text, &length)) return "<missing>";
        return length ? std::string(static_cast<const char*>(text)) : std::string();
    }
    std::vector<char> m_data;
};

// What Explorer's file properties and inventory tools show, and what
// installers read (the version, the self-registration mark).
TEST_F(ModuleVersion, NamesTheModuleItsMakerVersionsAndSelfRegistration) {
    const std::pair<const char*, const char*> expected[] = {
        {"CompanyName", "Tarnex"},
        {"FileDescription", "ZelView PDM agent"},
        {"FileVersion", "4.1.0.20812"},
        {"InternalName", "ZelDMAgent"},
        {"LegalCopyright", "Copyright (C) 2026 Tarnex"},
        {"OriginalFilename", "ZelDMAgent.dll"},
        {"ProductName", "ZelDMAgent"},
        {"ProductVersion", "4.1.0.20812"},
        {"OLESelfRegister", ""},
    };
    for (const auto& [name, value] : expected) EXPECT_EQ(Value(name), value) << name;

    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* data = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(m_data.data(), "\\VarFileInfo\\Translation", &data, &length)) << "no translation";
    ASSERT_GE(length, sizeof(Translation));
    EXPECT_EQ(static_cast<Translation*>(data)->language, 0x0409);
    EXPECT_EQ(static_cast<Translation*>(data)->codePage, 1200);

    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueA(m_data.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) << "no fixed file info";
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00040001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 20812u);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
}

TEST(ModuleStrings, ProjectNameIsInTheStringTable) {
    AgentModuleLoader module;
    ASSERT_TRUE(module.Loaded()) << module.Path();
    char text[64] = {};
    ASSERT_GT(LoadStringA(GetModuleHandleA("ZelDMAgent.dll"), IDS_PROJNAME, text, sizeof(text)), 0);
    EXPECT_STREQ(text, "ZelDMAgent");
}

}  // namespace
