// The machine policy that pins the save programs, in the Wine prefix's real
// registry under HKEY_LOCAL_MACHINE, through the DLL.
#ifdef _WIN32

#include "platform/string_ids.h"
#include "tests/save_road/dll_save_session.h"
#include "tests/support/save_policy.h"
#include "tests/support/hresult.h"

#include <algorithm>
#include <cctype>

namespace {

class SaveRoadPolicy : public DllSaveRefusal {
protected:
    void StartWithRecorder() {
        StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=42\r\n", "Application=view\r\n");
    }
    void ExpectLaunched() {
        ASSERT_HR(S_OK, Save("C:\\tmp\\x.xml"));
        EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.xml", "x.xml", "view"})) << CommandLines();
    }
    void ExpectNotAllowed() {
        ExpectRefusal("C:\\tmp\\x.xml", IDS_SAVE_PROGRAM_NOT_ALLOWED);
        ExpectNothingLaunched();
    }
};

TEST_F(SaveRoadPolicy, WithoutThePolicyKeyEveryProgramRuns) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSaveCommandsPolicyKey);
    StartWithRecorder();
    ExpectLaunched();
}

TEST_F(SaveRoadPolicy, AListedProgramRuns) {
    std::string listed = RecorderPath();
    std::transform(listed.begin(), listed.end(), listed.begin(), [](unsigned char c) { return std::toupper(c); });
    std::replace(listed.begin(), listed.end(), '\\', '/');
    ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe", listed});
    StartWithRecorder();
    ExpectLaunched();
}

TEST_F(SaveRoadPolicy, AnUnlistedProgramIsRefusedAndTold) {
    ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe"});
    StartWithRecorder();
    ExpectNotAllowed();
}

TEST_F(SaveRoadPolicy, AnEmptyPolicyKeyAllowsNothing) {
    ScopedSaveCommandsPolicy policy({});
    StartWithRecorder();
    ExpectNotAllowed();
}

// Only the machine's key counts: a user can write HKEY_CURRENT_USER.
TEST_F(SaveRoadPolicy, TheSameKeyOfTheUserDoesNotCount) {
    UniqueHkey userKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSaveCommandsPolicyKey, 0, nullptr,
                                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, userKey.put(), nullptr));
    const std::string path = RecorderPath();
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(userKey.get(), "1", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                            static_cast<DWORD>(path.size() + 1)));
    userKey.reset();
    {
        ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe"});
        StartWithRecorder();
        ExpectNotAllowed();
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kSaveCommandsPolicyKey);
}

}  // namespace

#endif  // _WIN32
