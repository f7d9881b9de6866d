// The type library's registry rows of the package, read from the module's
// IDL, as the system's registering routine names its keys and values.
#include "package/type_library_row.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

TypeLibraryRow Read(std::string_view idl) {
    TypeLibraryRow row;
    std::string error;
    EXPECT_TRUE(ReadTypeLibraryRow(idl, row, error)) << error;
    return row;
}

std::string Failure(std::string_view idl) {
    TypeLibraryRow row;
    std::string error;
    EXPECT_FALSE(ReadTypeLibraryRow(idl, row, error)) << idl;
    return error;
}

// Each row as "root\key = value": every row is a key's default text.
std::vector<std::string> Lines(const TypeLibraryRow& row) {
    std::vector<std::string> lines;
    for (const PackageRegistryRow& registry : TypeLibraryRegistryRows(row, "ZelDMAgent.dll", "INSTALLDIR"))
        lines.push_back(registry.root + "\\" + registry.key + registry.name + " = " + registry.value);
    return lines;
}

TEST(TypeLibraryRow, TheModulesLibraryNotItsInterface) {
    std::ifstream in(ZEL_SOURCE_DIR "/module/ZelDMAgent.idl", std::ios::binary);
    std::ostringstream idl;
    idl << in.rdbuf();
    EXPECT_THAT(Lines(Read(idl.str())), testing::ElementsAre(
                                "HKCR\\TypeLib\\{DE2BA9C8-CF2E-D1DF-8B64-441C516B64AE}\\1.0 = ZelDMAgent 1.0 Type Library",
                                "HKCR\\TypeLib\\{DE2BA9C8-CF2E-D1DF-8B64-441C516B64AE}\\1.0\\0\\win32 = [#ZelDMAgent.dll]",
                                "HKCR\\TypeLib\\{DE2BA9C8-CF2E-D1DF-8B64-441C516B64AE}\\1.0\\FLAGS = 8",
                                "HKCR\\TypeLib\\{DE2BA9C8-CF2E-D1DF-8B64-441C516B64AE}\\1.0\\HELPDIR = [INSTALLDIR]"));
}

// The registering routine writes the version and the language in hex, the
// flags (the attributes' and the compiled library's disk image) in decimal,
// and the library's name when it has no helpstring.
TEST(TypeLibraryRow, CommentsStringsAndAttributeFormsAreRead) {
    const TypeLibraryRow row = Read(
        "// a library [uuid(11111111-1111-1111-1111-111111111111)] mentioned in a comment\n"
        "/* [version(9.9)] library X */\n"
        "[ lcid(0x409), helpstring(\"Tools, [v2] library\"), version( 10.11 ), hidden, restricted,\n"
        "  uuid(abcdef01-2345-6789-abcd-ef0123456789) ]\n"
        "library ToolsLib { };");
    EXPECT_THAT(Lines(row), testing::IsSupersetOf({
                                "HKCR\\TypeLib\\{ABCDEF01-2345-6789-ABCD-EF0123456789}\\a.b = Tools, [\\[]v2[\\]] library",
                                "HKCR\\TypeLib\\{ABCDEF01-2345-6789-ABCD-EF0123456789}\\a.b\\409\\win32 = [#ZelDMAgent.dll]",
                                "HKCR\\TypeLib\\{ABCDEF01-2345-6789-ABCD-EF0123456789}\\a.b\\FLAGS = 13"}));

    const auto unnamed = Lines(Read("[uuid(1-2-3-4-5), version(1), control]\nlibrary   Bare_Lib\n{ };"));
    EXPECT_EQ(unnamed.front(), "HKCR\\TypeLib\\{1-2-3-4-5}\\1.0 = Bare_Lib");
    EXPECT_EQ(unnamed.at(2), "HKCR\\TypeLib\\{1-2-3-4-5}\\1.0\\FLAGS = 10");
}

TEST(TypeLibraryRow, RefusesALibraryItCannotRegister) {
    EXPECT_NE(Failure("interface I : IUnknown {};").find("no library"), std::string::npos);
    EXPECT_NE(Failure("[version(1.0)] library L {};").find("no uuid"), std::string::npos);
    EXPECT_NE(Failure("[uuid(1-2-3-4-5), version(1.70000)] library L {};").find("major.minor"), std::string::npos);
    EXPECT_NE(Failure("[uuid(1-2-3-4-5), version(1.0), helpstring(\"a\tb\")] library L {};").find("control character"),
              std::string::npos);
    EXPECT_NE(Failure("[uuid(1-2-3-4-5), version(1.0), helpstring(\"\")] library L {};").find("empty"),
              std::string::npos);
    EXPECT_NE(Failure("[uuid(1-2-3-4-5), version(1.0)] library {};").find("no name"), std::string::npos);
    // The registering routine writes keys of its own for an automation
    // interface; the word in a string or a name is none.
    EXPECT_NE(Failure("[object, uuid(1-2-3-4-6), dual] interface I : IDispatch {};\n"
                      "[uuid(1-2-3-4-5), version(1.0)] library L { interface I; };")
                  .find("automation interface"),
              std::string::npos);
    Read("[uuid(1-2-3-4-5), version(1.0), helpstring(\"dual use\")] library L { interface dualist; };");
}

}  // namespace
