// The resources that installers and the loader read from the DLL.

#include "platform/com/com.h"
#include "platform/com/string_ids.h"
#include "platform/com/unique_resource.h"
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

struct DataFileTraits {
    using Handle = HMODULE;
    static constexpr Handle kEmpty = nullptr;
    static void Close(Handle module) { FreeLibrary(module); }
};

// Event Viewer reads an event's text from the module that EventMessageFile
// names, by the event's number, as FormatMessage does here: every message a
// save can be refused with has its text, and takes the markup and the
// detail in its places.
TEST(ModuleEventTexts, EveryRefusalEventResolvesToItsText) {
    const UniqueResource<DataFileTraits> file(LoadLibraryExA(ModuleFile().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(file) << ModuleFile() << ": " << GetLastError();
    const HMODULE module = file.get();
    const unsigned refusals[] = {IDS_NO_MARKUP_PERMISSION,  IDS_SAVE_NO_COMMAND,        IDS_SAVE_UNSAFE_LAUNCH_VALUE,
                                 IDS_SAVE_UNSAFE_FILE_NAME, IDS_SAVE_COMMAND_TOO_LONG,  IDS_SAVE_PROGRAM_NOT_ALLOWED,
                                 IDS_SAVE_NOT_STARTED,      IDS_SAVE_NO_FILE_NAME,      IDS_SAVE_MARKUP_STREAM,
                                 IDS_SAVE_NAME_TOO_LONG,    IDS_SAVE_UNKNOWN_DOCUMENT,  IDS_SAVE_NO_PROGRAM_ALLOWED,
                                 IDS_SAVE_PROGRAM_NOT_FULL_PATH, IDS_SAVE_NO_SERVER_FILE,    IDS_SAVE_PROGRAM_NOT_FOUND};
    for (unsigned id : refusals) {
        char markup[] = "C:\\tmp\\m.xml";
        char detail[] = "program X";
        DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(markup), reinterpret_cast<DWORD_PTR>(detail)};
        char text[1024] = {};
        const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module, id,
                                            MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), text, sizeof text,
                                            reinterpret_cast<va_list*>(inserts));
        ASSERT_GT(length, 0u) << "event " << id << ": error " << GetLastError();
        const std::string message(text, length);
        EXPECT_EQ(message.rfind("A markup save ", 0), 0u) << id << ": " << message;
        EXPECT_NE(message.find("(message " + std::to_string(id) + ")"), std::string::npos) << message;
        EXPECT_NE(message.find("Markup: C:\\tmp\\m.xml. program X"), std::string::npos) << message;
    }
}

}  // namespace
