// Which DMAgent values a list of allowed save commands lets run: the whole
// value must be one entry, with a full path. The registry side of the policy
// is in agent_save_policy_test.cpp (native) and tests/save_road (Wine).
#include "pdm/save_policy.h"

#include "platform/environment.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

namespace {

using Verdict = SavePolicyVerdict;

}  // namespace

void PrintTo(SavePolicyVerdict verdict, std::ostream* out) {
    constexpr const char* kNames[] = {"allowed", "not listed", "none allowed", "not a full path"};
    *out << kNames[static_cast<int>(verdict)];
}

namespace {

struct MatchCase {
    const char* what;
    std::vector<std::string> allowed;
    std::string dmAgent;
    Verdict expected;
};

const MatchCase kMatchCases[] = {
    {"the program alone", {"C:\\PDM\\pdm-save.exe"}, "C:\\PDM\\pdm-save.exe", Verdict::kAllowed},
    {"letter case and slashes of the program", {"c:/pdm/PDM-SAVE.EXE"}, "C:\\PDM\\pdm-save.exe", Verdict::kAllowed},
    {"blanks around either", {" C:\\PDM\\pdm-save.exe\t"}, "\t C:\\PDM\\pdm-save.exe  ", Verdict::kAllowed},
    {"forged items after a listed program",
     {"C:\\PDM\\pdm-save.exe"},
     "C:\\PDM\\pdm-save.exe MarkupSave 42 \\\\evil\\share\\payload.dwg evil.xml --config=\\\\evil\\share\\cfg",
     Verdict::kNotListed},
    {"words listed with the program", {"C:\\PDM\\pdm-save.exe --vault=main"}, "C:\\PDM\\pdm-save.exe --vault=main",
     Verdict::kAllowed},
    {"the program without the listed words", {"C:\\PDM\\pdm-save.exe --vault=main"}, "C:\\PDM\\pdm-save.exe",
     Verdict::kNotListed},
    {"words compared exactly", {"C:\\PDM\\pdm-save.exe --vault=main"}, "C:\\PDM\\pdm-save.exe --VAULT=main",
     Verdict::kNotListed},
    {"an entry that only begins like the program", {"C:\\PDM\\pdm-save.exe"}, "C:\\PDM\\pdm-save.exe2",
     Verdict::kNotListed},
    {"a longer program than the entry", {"C:\\PDM\\pdm-save.exe2"}, "C:\\PDM\\pdm-save.exe", Verdict::kNotListed},
    {"a quoted program, an unquoted entry",
     {"C:\\Program Files\\ZelPDM\\pdm-save.exe"},
     "\"C:\\Program Files\\ZelPDM\\pdm-save.exe\"",
     Verdict::kAllowed},
    {"a quoted program with words, an unquoted entry",
     {"C:\\Program Files\\ZelPDM\\pdm-save.exe --vault=main"},
     "\"C:\\Program Files\\ZelPDM\\pdm-save.exe\" --vault=main",
     Verdict::kAllowed},
    {"quoted on both sides",
     {"\"c:\\program files\\zelpdm\\pdm-save.exe\" --vault=main"},
     "\"C:\\Program Files\\ZelPDM\\pdm-save.exe\" --vault=main",
     Verdict::kAllowed},
    {"a quoted entry whose words differ",
     {"\"C:\\Program Files\\ZelPDM\\pdm-save.exe\" --vault=main"},
     "\"C:\\Program Files\\ZelPDM\\pdm-save.exe\" --vault=other",
     Verdict::kNotListed},
    {"the program's path's first word only",
     {"C:\\Program Files\\ZelPDM\\pdm-save.exe"},
     "\"C:\\Program\"",
     Verdict::kNotListed},
    {"a server share", {"\\\\pdm\\tools\\pdm-save.exe"}, "\\\\PDM\\tools\\pdm-save.exe", Verdict::kAllowed},
    {"a bare program name", {"pdm-save.exe", "C:\\PDM\\pdm-save.exe"}, "pdm-save.exe", Verdict::kNotFullPath},
    {"a folder-relative program", {"C:\\PDM\\pdm-save.exe"}, "PDM\\pdm-save.exe", Verdict::kNotFullPath},
    {"a drive-relative program", {"C:pdm-save.exe", "C:\\PDM\\pdm-save.exe"}, "C:pdm-save.exe",
     Verdict::kNotFullPath},
#ifdef _WIN32
    // Natively a leading separator is the system's root.
    {"a root-relative program", {"\\PDM\\pdm-save.exe", "C:\\PDM\\pdm-save.exe"}, "\\PDM\\pdm-save.exe",
     Verdict::kNotFullPath},
#endif
    {"only relative entries", {"pdm-save.exe", ".\\pdm-save.exe", "\"pdm-save.exe\""}, "C:\\PDM\\pdm-save.exe",
     Verdict::kNoneAllowed},
    {"a relative entry beside a full one", {"pdm-save.exe", "C:\\PDM\\pdm-save.exe"}, "C:\\PDM\\pdm-save.exe",
     Verdict::kAllowed},
    {"an empty list", {}, "C:\\PDM\\pdm-save.exe", Verdict::kNoneAllowed},
    {"an unclosed quote in the entry", {"\"C:\\PDM\\pdm-save.exe"}, "\"C:\\PDM\\pdm-save.exe\"",
     Verdict::kNoneAllowed},
};

TEST(SavePolicyMatch, TheWholeValueMustBeOneFullPathEntry) {
    for (const MatchCase& c : kMatchCases)
        EXPECT_EQ(CheckSaveCommand(c.allowed, c.dmAgent), c.expected) << c.what << ": " << c.dmAgent;
}

// Entries the template writes are expanded as Windows expands them.
TEST(SavePolicyMatch, EnvironmentReferencesAreExpandedOthersStay) {
    ScopedEnv folder("ZEL_TEST_PDM", std::string("C:\\Program Files\\ZelPDM"));
    ScopedEnv unset("ZEL_TEST_UNSET", std::nullopt);
    const std::pair<const char*, const char*> cases[] = {
        {"%ZEL_TEST_PDM%\\pdm-save.exe", "C:\\Program Files\\ZelPDM\\pdm-save.exe"},
        {"%ZEL_TEST_UNSET%\\pdm-save.exe", "%ZEL_TEST_UNSET%\\pdm-save.exe"},
        {"C:\\100%\\pdm-save.exe", "C:\\100%\\pdm-save.exe"},
        {"%ZEL_TEST_PDM%%ZEL_TEST_PDM%", "C:\\Program Files\\ZelPDMC:\\Program Files\\ZelPDM"},
        {"", ""},
    };
    for (const auto& [text, expanded] : cases) EXPECT_EQ(ExpandEnvironmentText(text), std::string(expanded)) << text;
}

}  // namespace
