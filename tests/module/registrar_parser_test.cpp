#include "module/registrar_parser.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::vector<RegistryScriptRoot> Parse(const std::string& script, const RegistryVariables& variables = {}) {
    std::vector<RegistryScriptRoot> roots;
    EXPECT_HR(S_OK, ParseRegistryScript(script, variables, roots)) << script;
    return roots;
}

// A key's flags as the script writes them, and whether it has a default value.
std::string Flags(const RegistryScriptKey& key) {
    std::string flags = key.noRemove ? "NoRemove " : "";
    if (key.forceRemove) flags += "ForceRemove ";
    return flags + (key.hasDefault ? "= default" : "no default");
}

TEST(RegistryScriptParser, ReadsNestedKeysFlagsAndValues) {
    const auto roots = Parse(
        "HKCR\n{\n\tNoRemove CLSID\n\t{\n\t\tForceRemove {AB-CD} = s 'Class Name'\n\t\t{\n"
        "\t\t\tInprocServer32 = s 'x.dll'\n\t\t\t{\n\t\t\t\tval ThreadingModel = s 'Apartment'\n"
        "\t\t\t\tval Count = d 0x1F\n\t\t\t}\n\t\t\t'TypeLib' = s '{LIB}'\n\t\t}\n\t}\n}\n");
    ASSERT_EQ(roots.size(), 1u);
    EXPECT_EQ(roots[0].hive, HKEY_CLASSES_ROOT);
    ASSERT_EQ(roots[0].keys.size(), 1u);
    const RegistryScriptKey& clsid = roots[0].keys[0];
    EXPECT_EQ(clsid.name, "CLSID");
    EXPECT_EQ(Flags(clsid), "NoRemove no default");
    ASSERT_EQ(clsid.subkeys.size(), 1u);
    const RegistryScriptKey& cls = clsid.subkeys[0];
    EXPECT_EQ(cls.name, "{AB-CD}");
    ASSERT_EQ(Flags(cls), "ForceRemove = default");
    EXPECT_EQ(cls.defaultValue.text, "Class Name");
    ASSERT_EQ(cls.subkeys.size(), 2u);
    const RegistryScriptKey& server = cls.subkeys[0];
    EXPECT_EQ(server.defaultValue.text, "x.dll");
    ASSERT_EQ(server.values.size(), 2u);
    EXPECT_EQ(server.values[0].name, "ThreadingModel");
    EXPECT_EQ(server.values[0].type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(server.values[0].text, "Apartment");
    EXPECT_EQ(server.values[1].type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(server.values[1].number, 0x1Fu);
    EXPECT_EQ(cls.subkeys[1].name, "TypeLib");
    EXPECT_EQ(cls.subkeys[1].defaultValue.text, "{LIB}");
}

TEST(RegistryScriptParser, QuotedTextKeepsSpacesBracesAndDoubledQuotes) {
    const auto ok = Parse("HKCU { 'a key { } =' = s 'it''s { here }' }");
    ASSERT_EQ(ok[0].keys.size(), 1u);
    EXPECT_EQ(ok[0].keys[0].name, "a key { } =");
    EXPECT_EQ(ok[0].keys[0].defaultValue.text, "it's { here }");
}

TEST(RegistryScriptParser, ReplacesVariablesAfterReadingQuotes) {
    const RegistryVariables variables = {{"MODULE", "C:\\Bob's Files\\100% x.dll"}};
    const auto roots = Parse("HKCR { K = s '%MODULE%' { val P = s '50%%' } }", variables);
    ASSERT_EQ(roots[0].keys.size(), 1u);
    EXPECT_EQ(roots[0].keys[0].defaultValue.text, "C:\\Bob's Files\\100% x.dll");
    EXPECT_EQ(roots[0].keys[0].values[0].text, "50%");
}

TEST(RegistryScriptParser, ReadsDecimalAndHexNumbers) {
    const auto roots = Parse("HKLM { K { val A = d 4294967295 val B = d '0xffffffff' val C = d 0 } }");
    const auto& values = roots[0].keys[0].values;
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].number, 0xFFFFFFFFu);
    EXPECT_EQ(values[1].number, 0xFFFFFFFFu);
    EXPECT_EQ(values[2].number, 0u);
}

TEST(RegistryScriptParser, RejectsMalformedScriptsAndKeepsNoRoots) {
    const std::string deep = [] {
        std::string s = "HKCU {";
        for (int i = 0; i < 40; ++i) s += " K {";
        for (int i = 0; i < 41; ++i) s += " }";
        return s;
    }();
    const std::string cases[] = {
        "HKCU { K = s 'unterminated }",
        "HKCU { K = s 'v'",
        "HKXX { K }",
        "'HKCU' { K }",
        "HKCU { val V = s 'x' }",
        "HKCU { K = b '00' }",
        "HKCU { K { val V = d 0xZZ } }",
        "HKCU { K { val V = d 4294967296 } }",
        "HKCU { K { val V = d -1 } }",
        "HKCU { K = s '%UNKNOWN%' }",
        "HKCU { K = s '%MODULE' }",
        "HKCU { Delete K }",
        "HKCU { = s 'x' }",
        "HKCU { " + std::string(300, 'k') + " }",
        deep,
    };
    for (const std::string& script : cases) {
        std::vector<RegistryScriptRoot> roots(1);
        EXPECT_HR(E_INVALIDARG, ParseRegistryScript(script, {{"MODULE", "m"}}, roots)) << script;
        EXPECT_TRUE(roots.empty()) << script;
    }
}

}  // namespace
