// The package's registry rows against what the registrar itself writes from
// the same script, and the forms a row cannot take.
#include "package/registry_rows.h"

#include "module/registrar.h"
#include "tests/module/registry_probe.h"
#include "tests/support/hresult.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

// A failed check prints a row as its key, name and value.
void PrintTo(const PackageRegistryRow& row, std::ostream* out) {
    *out << row.root << "\\" << row.key << " [" << row.name << "] = " << (row.number ? "d " : "s ") << row.value;
}

namespace {

using ::testing::IsEmpty;

constexpr const char* kFileId = "ZelDMAgent.dll";
constexpr const char* kFileReference = "[#ZelDMAgent.dll]";

std::string AgentScript() {
    std::ifstream in(ZEL_AGENT_SCRIPT, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

std::string Failure(std::string_view script) {
    std::vector<PackageRegistryRow> rows;
    std::string error;
    EXPECT_FALSE(BuildPackageRegistryRows(script, kFileId, rows, error)) << script;
    EXPECT_THAT(rows, IsEmpty()) << "rows of a script that was refused";
    return error;
}

TEST(PackageRegistryRows, EveryRowReadsBackAsTheRegistrarWroteIt) {
    UseFreshRegistryForThisTest();
    const std::string script = AgentScript();
    const std::string modulePath = "C:\\Program Files\\ZelDMAgent\\ZelDMAgent.dll";
    ASSERT_HR(S_OK, RunRegistryScript(script, RegistryScriptMode::Register, {{"MODULE", modulePath}}));

    std::vector<PackageRegistryRow> rows;
    std::string error;
    ASSERT_TRUE(BuildPackageRegistryRows(script, kFileId, rows, error)) << error;
    ASSERT_EQ(rows.size(), 13u) << "every value of the script, once";
    bool sawModule = false;
    for (const PackageRegistryRow& row : rows) {
        SCOPED_TRACE(row.key + " " + row.name);
        const HKEY hive = row.root == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT;
        EXPECT_TRUE(row.root == "HKCR" || row.root == "HKLM") << row.root;
        const char* name = row.name.empty() ? nullptr : row.name.c_str();
        sawModule = sawModule || row.value == kFileReference;
        if (row.number) {
            EXPECT_EQ(ReadDword(hive, row.key, name), std::stoul(row.value));
            continue;
        }
        EXPECT_EQ(ReadString(hive, row.key, name, row.expandable ? REG_EXPAND_SZ : REG_SZ),
                  Replaced(row.value, kFileReference, modulePath));
    }
    EXPECT_TRUE(sawModule) << "the server's path is the installed file";
    // Event Viewer expands the event source's module path: the Registry
    // table writes it REG_EXPAND_SZ only with its #% mark.
    EXPECT_NE(RegistryRowsInclude(rows).find("Key=\"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\"
                                             "ZelDMAgent\" Name=\"EventMessageFile\" Type=\"string\" "
                                             "Value=\"#%[#ZelDMAgent.dll]\""),
              std::string::npos)
        << RegistryRowsInclude(rows);
}

TEST(PackageRegistryRows, EscapesTheInstallersReferencesAndKeepsTheModuleOne) {
    const std::string script =
        "HKLM { NoRemove Software { ForceRemove 'Zel[1]' = s '%MODULE%,[2] {x}' { val 'N[a]' = s 'v' "
        "val Count = d 16 } } }";
    std::vector<PackageRegistryRow> rows;
    std::string error;
    ASSERT_TRUE(BuildPackageRegistryRows(script, kFileId, rows, error)) << error;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].root, "HKLM");
    EXPECT_EQ(rows[0].key, "Software\\Zel[\\[]1[\\]]");
    EXPECT_EQ(rows[0].value, "[#ZelDMAgent.dll],[\\[]2[\\]] {x}");
    EXPECT_EQ(rows[1].name, "N[\\[]a[\\]]");
    EXPECT_TRUE(rows[2].number) << rows[2].key << " " << rows[2].name << " = " << rows[2].value;
    EXPECT_EQ(rows[2].value, "16");

    const std::string include = RegistryRowsInclude(rows);
    EXPECT_NE(include.find("<RegistryValue Root=\"HKLM\" Key=\"Software\\Zel[\\[]1[\\]]\" Type=\"string\" "
                           "Value=\"[#ZelDMAgent.dll],[\\[]2[\\]] {x}\"/>"),
              std::string::npos)
        << include;
    EXPECT_NE(include.find("Name=\"Count\" Type=\"integer\" Value=\"16\""), std::string::npos) << include;
}

TEST(PackageRegistryRows, XmlSpecialCharactersAndLineBreaksSurviveTheInclude) {
    std::vector<PackageRegistryRow> rows{{"HKCR", "A&B", "", false, "say \"<hi>\"\tthen\nbye"}};
    EXPECT_NE(RegistryRowsInclude(rows).find("Key=\"A&amp;B\" Type=\"string\" "
                                             "Value=\"say &quot;&lt;hi&gt;&quot;&#9;then&#10;bye\""),
              std::string::npos);
}

TEST(PackageRegistryRows, RefusesWhatARowCannotSayAsTheRegistrarDoes) {
    EXPECT_NE(Failure("HKCU { Software = s 'x' }").find("per-user"), std::string::npos);
    EXPECT_NE(Failure("HKCR { Zel = s '' }").find("empty"), std::string::npos);
    EXPECT_NE(Failure("HKCR { Zel { Leaf } }").find("Zel\\Leaf has no value"), std::string::npos);
    EXPECT_NE(Failure("HKCR { Zel = s 'a\x1f' }").find("control character"), std::string::npos);
    EXPECT_NE(Failure("HKCR { Zel = s '%OTHER%' }").find("does not parse"), std::string::npos);
}

}  // namespace
