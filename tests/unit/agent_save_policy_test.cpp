// The machine policy that pins the programs a markup save may run, against
// the native registry store (each test has a store of its own). The same
// cases run under Wine against the real registry in tests/save_road.
#ifndef _WIN32

#include "platform/native/registry_store.h"
#include "platform/registry.h"
#include "platform/string_ids.h"
#include "tests/support/save_policy.h"
#include "tests/support/save_session.h"
#include "tests/support/scoped_env.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {

using namespace std::chrono_literals;

constexpr char kNothing[] = "<nothing recorded>";

class SavePolicy : public SaveRefusalTest {
protected:
    void TearDown() override {
        regstore::ClearFault();
        SaveRefusalTest::TearDown();
    }
    void StartWithProgram(const std::string& dmAgent) {
        const std::string text = "[ServerFile]\nFileTypeID=PDM.Markup\nServerPath=D:\\srv\\gear.xml\nsession_id=42\n"
                                 "[ViewList]\nDMAgent=" + dmAgent + "\nApplication=view\n";
        ASSERT_HR(S_OK, StartSession(text, nuvsim::kKind2D));
    }
    void ExpectLaunched(const Words& leading = {}) {
        ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
        Words expected = leading;
        for (const char* item : {"MarkupSave", "42", "D:\\srv\\gear.xml", "x.xml", "view"}) expected.push_back(item);
        EXPECT_EQ(Arguments(), expected);
    }
    void ExpectNotAllowed() {
        ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_PROGRAM_NOT_ALLOWED);
        EXPECT_EQ(kNothing, m_recorder.WaitForRecord(1500ms));
    }
};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

TEST_F(SavePolicy, WithoutThePolicyKeyEveryProgramRuns) {
    StartWithProgram(RecorderPath());
    ExpectLaunched();
}

// Listed as an administrator may write it: letter case and the kind of
// slash do not count.
TEST_F(SavePolicy, AListedProgramRuns) {
    std::string listed = Upper(RecorderPath());
    std::replace(listed.begin(), listed.end(), '/', '\\');
    ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe", listed});
    StartWithProgram(RecorderPath());
    ExpectLaunched();
}

TEST_F(SavePolicy, AnUnlistedProgramIsRefusedAndTold) {
    ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe"});
    StartWithProgram(RecorderPath());
    ExpectNotAllowed();
}

TEST_F(SavePolicy, AnEmptyPolicyKeyAllowsNothing) {
    ScopedSaveCommandsPolicy policy({});
    StartWithProgram(RecorderPath());
    ExpectNotAllowed();
}

// The program is DMAgent's first word; its own arguments may vary.
TEST_F(SavePolicy, DMAgentsFirstWordIsTheProgram) {
    ScopedSaveCommandsPolicy policy({RecorderPath()});
    StartWithProgram(RecorderPath() + " --vault=main");
    ExpectLaunched({"--vault=main"});
}

TEST_F(SavePolicy, ProgramsListedWithTheirArgumentsOrAsOtherTypesDoNotCount) {
    ScopedSaveCommandsPolicy policy({RecorderPath() + " --vault=main"});
    const std::string path = RecorderPath();
    policy.Add("binary", REG_BINARY, path.data(), path.size());
    StartWithProgram(RecorderPath() + " --vault=main");
    ExpectNotAllowed();
}

// Only the machine's key counts: a user can write HKEY_CURRENT_USER, and
// NUV_REG_ROOT moves only the viewer's settings.
TEST_F(SavePolicy, NeitherTheUserHiveNorTheSettingsRootMoveThePolicy) {
    UniqueHkey userKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSaveCommandsPolicyKey, 0, nullptr,
                                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, userKey.put(), nullptr));
    const std::string path = RecorderPath();
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(userKey.get(), "1", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                            static_cast<DWORD>(path.size() + 1)));
    ScopedEnv root(kRegRootVariable, std::string("Software\\Policies\\Tarnex\\ZelView"));
    ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe"});
    StartWithProgram(RecorderPath());
    ExpectNotAllowed();
}

// A string value need not keep its terminator in the registry.
TEST_F(SavePolicy, AStringWithoutItsTerminatorIsReadWhole) {
    ScopedSaveCommandsPolicy policy({});
    const std::string path = RecorderPath();
    policy.Add("1", REG_SZ, path.data(), path.size());
    StartWithProgram(RecorderPath());
    ExpectLaunched();
}

// A policy that cannot be read whole allows nothing, not even what the part
// read lists: a key that exists but cannot be opened, or whose values stop
// reading after the one that lists the program.
TEST_F(SavePolicy, APolicyKeyThatCannotBeReadWholeAllowsNothing) {
    for (const auto& [call, passing] : {std::pair{"RegOpenKeyExA", 0u}, std::pair{"RegEnumValueA", 1u}}) {
        ScopedSaveCommandsPolicy policy({RecorderPath(), "C:\\PDM\\pdm-save.exe"});
        regstore::InjectFault(call, std::string("HKLM\\") + kSaveCommandsPolicyKey, ERROR_ACCESS_DENIED, passing);
        StartWithProgram(RecorderPath());
        ExpectNotAllowed();
        regstore::ClearFault();
        nuvsim::CloseDocuments();
        ReleaseAgent();
    }
}

}  // namespace

#endif  // !_WIN32
