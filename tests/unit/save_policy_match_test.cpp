// Which DMAgent values a list of allowed save commands lets run: the whole
// value must be one entry, with a full path. The registry side of the policy
// is in agent_save_policy_test.cpp (native) and tests/save_dll (Wine).
#include "pdm/save_policy.h"

#include "platform/system/environment.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

void PrintTo(SavePolicyVerdict verdict, std::ostream* out) {
    constexpr const char* kNames[] = {"allowed", "not listed", "none allowed", "not a full path"};
    *out << kNames[static_cast<int>(verdict)];
}

namespace {

using Verdict = SavePolicyVerdict;

struct MatchCase {
    const char* what;
    std::vector<std::string> allowed;
    std::string dmAgent;
    Verdict expected;
};

const std::string kSave = "C:\\PDM\\pdm-save.exe";
const std::string kInProgramFiles = "C:\\Program Files\\ZelPDM\\pdm-save.exe";
const std::string kQuoted = "\"" + kInProgramFiles + "\"";

const MatchCase kMatchCases[] = {
    {"blanks around either", {" " + kSave + "\t"}, "\t " + kSave + "  ", Verdict::kAllowed},
    {"forged items after a listed program", {kSave}, kSave + " MarkupSave 42 \\\\evil\\p.dwg --c=\\\\evil\\c",
     Verdict::kNotListed},
    {"the program without the listed words", {kSave + " --vault=main"}, kSave, Verdict::kNotListed},
    {"words compared exactly", {kSave + " --vault=main"}, kSave + " --VAULT=main", Verdict::kNotListed},
    {"an entry that only begins like the program", {kSave}, kSave + "2", Verdict::kNotListed},
    {"a quoted program, an unquoted entry", {kInProgramFiles + " --v"}, kQuoted + " --v", Verdict::kAllowed},
    {"a quoted entry with words", {kQuoted + " --v=1"}, kInProgramFiles + " --v=1", Verdict::kNotListed},
    {"the same words after a quoted entry", {kQuoted + "  --v=1"}, kQuoted + " --v=1", Verdict::kAllowed},
    {"other words after a quoted entry", {kQuoted + " --v=1"}, kQuoted + " --v=2", Verdict::kNotListed},
    {"quoted on both sides", {"\"c:\\program files\\zelpdm\\pdm-save.exe\""}, kQuoted, Verdict::kAllowed},
    {"the path's first word only", {kInProgramFiles}, "\"C:\\Program\"", Verdict::kNotListed},
    {"a server share", {"\\\\pdm\\tools\\pdm-save.exe"}, "\\\\PDM\\tools\\pdm-save.exe", Verdict::kAllowed},
    {"a bare program name", {"pdm-save.exe", kSave}, "pdm-save.exe", Verdict::kNotFullPath},
    {"a folder-relative program", {kSave}, "PDM\\pdm-save.exe", Verdict::kNotFullPath},
    {"a drive-relative program", {"C:pdm-save.exe", kSave}, "C:pdm-save.exe", Verdict::kNotFullPath},
#ifdef _WIN32
    // Natively a leading separator is the system's root.
    {"a root-relative program", {"\\PDM\\pdm-save.exe", kSave}, "\\PDM\\pdm-save.exe", Verdict::kNotFullPath},
#endif
    {"only relative entries", {"pdm-save.exe", ".\\pdm-save.exe", "\"pdm-save.exe\""}, kSave, Verdict::kNoneAllowed},
    {"a relative entry beside a full one", {"pdm-save.exe", kSave}, kSave, Verdict::kAllowed},
    {"an unclosed quote in the entry", {"\"" + kSave}, "\"" + kSave + "\"", Verdict::kNoneAllowed},
};

TEST(SavePolicyMatch, TheWholeValueMustBeOneFullPathEntry) {
    for (const MatchCase& c : kMatchCases)
        EXPECT_EQ(CheckSaveCommand(c.allowed, ReadSaveProgram(c.dmAgent)), c.expected) << c.what << ": " << c.dmAgent;
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
