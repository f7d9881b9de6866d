// The type library's row of the package, read from the module's IDL.
#include "package/type_library_row.h"

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

TEST(TypeLibraryRow, TheModulesLibraryNotItsInterface) {
    std::ifstream in(ZEL_SOURCE_DIR "/module/ZelDMAgent.idl", std::ios::binary);
    std::ostringstream idl;
    idl << in.rdbuf();
    const TypeLibraryRow row = Read(idl.str());
    EXPECT_EQ(row.libraryId, "{DE2BA9C8-CF2E-D1DF-8B64-441C516B64AE}");
    EXPECT_EQ(row.version, 0x0100);
    EXPECT_EQ(row.language, 0);
    EXPECT_EQ(row.description, "ZelDMAgent 1.0 Type Library");
    const std::string table = TypeLibTableFile(row, "AgentModule", "Agent");
    EXPECT_EQ(table.substr(table.find("TypeLib\t")),
              "TypeLib\tLibID\tLanguage\tComponent_\r\n"
              "{DE2BA9C8-CF2E-D1DF-8B64-441C516B64AE}\t0\tAgentModule\t256\tZelDMAgent 1.0 Type Library\t\tAgent\t\r\n");
}

TEST(TypeLibraryRow, CommentsStringsAndAttributeFormsAreRead) {
    const TypeLibraryRow row = Read(
        "// a library [uuid(11111111-1111-1111-1111-111111111111)] mentioned in a comment\n"
        "/* [version(9.9)] library X */\n"
        "[ lcid(0x409), helpstring(\"Tools, [v2] library\"), version( 2.3 ),\n"
        "  uuid(abcdef01-2345-6789-abcd-ef0123456789) ]\n"
        "library ToolsLib { };");
    EXPECT_EQ(row.libraryId, "{ABCDEF01-2345-6789-ABCD-EF0123456789}");
    EXPECT_EQ(row.version, 0x0203);
    EXPECT_EQ(row.language, 0x409);
    EXPECT_EQ(row.description, "Tools, [v2] library");
}

TEST(TypeLibraryRow, RefusesALibraryItCannotRegister) {
    EXPECT_NE(Failure("interface I : IUnknown {};").find("no library"), std::string::npos);
    EXPECT_NE(Failure("[version(1.0)] library L {};").find("no uuid"), std::string::npos);
    EXPECT_NE(Failure("[uuid(1-2-3-4-5), version(1.300)] library L {};").find("major.minor"), std::string::npos);
    EXPECT_NE(Failure("[uuid(1-2-3-4-5), version(1.0), helpstring(\"a\tb\")] library L {};").find("tab"),
              std::string::npos);
}

}  // namespace
