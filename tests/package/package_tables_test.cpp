// The package's own tables, read through the installer's database interface
// the way a deployment tool inspects a package before rolling it out.
#include "tests/package/agent_package.h"
#include "tests/package/msi_database.h"

#include <gmock/gmock.h>
#include <msidefs.h>

namespace {

using ::testing::IsEmpty;

// Word count flag: the package installs without elevation (per-user).
constexpr INT kNoElevationNeeded = 8;

class PackageTables : public testing::Test {
protected:
    PackageDatabase m_package{AgentPackage()};
};

TEST_F(PackageTables, NamesTheProductItsMakerVersionAndUpgradeCodePerMachine) {
    ASSERT_TRUE(m_package.Opened()) << AgentPackage();
    EXPECT_EQ(m_package.Property("ProductName"), kProductName);
    EXPECT_EQ(m_package.Property("Manufacturer"), kManufacturer);
    EXPECT_EQ(m_package.Property("ProductVersion"), ModuleFileVersion(BuiltModulePath()));
    EXPECT_EQ(m_package.Property("UpgradeCode"), kUpgradeCode);
    EXPECT_EQ(m_package.Property("ALLUSERS"), "1");
    EXPECT_EQ(m_package.SummaryNumber(PID_WORDCOUNT) & kNoElevationNeeded, 0);
    EXPECT_EQ(m_package.SummaryText(PID_TEMPLATE), "Intel;1033") << "a package for 32-bit Windows";
}

// One versioned file, the agent, and the Group Policy template beside it in
// PolicyDefinitions; the agent's registration is the package's own Registry
// rows (which the installer rolls back and removes like any other), not a
// run of the DLL's self-registration nor the TypeLib table.
TEST_F(PackageTables, CarriesTheAgentWithItsVersionTheTemplateAndNoSelfRegistration) {
    ASSERT_TRUE(m_package.Opened()) << AgentPackage();
    EXPECT_THAT(m_package.Query("SELECT `FileName`, `Version`, `Language` FROM `File`").value_or(TableRows{}),
                testing::UnorderedElementsAre(
                    std::vector<std::string>{"ZelDMAgent.dll", m_package.Property("ProductVersion"), "1033"},
                    std::vector<std::string>{"ZelDMAgent.admx", "", ""},
                    std::vector<std::string>{"ZelDMAgent.adml", "", ""}));
    // The installer compares a versioned file by its version; a hash row
    // for it would be a stale second rule.
    EXPECT_THAT(m_package.Query("SELECT `File`.`FileName` FROM `File`, `MsiFileHash` "
                                "WHERE `File`.`File` = `MsiFileHash`.`File_`")
                    .value_or(TableRows{}),
                testing::UnorderedElementsAre(std::vector<std::string>{"ZelDMAgent.admx"},
                                              std::vector<std::string>{"ZelDMAgent.adml"}));
    for (const char* query : {"SELECT `File_` FROM `SelfReg`", "SELECT `LibID` FROM `TypeLib`",
                              "SELECT `Action` FROM `InstallExecuteSequence` WHERE `Action` = 'RegisterTypeLibraries'"}) {
        const auto rows = m_package.Query(query);
        if (rows) {
            EXPECT_THAT(*rows, IsEmpty()) << query;
        }
    }
}

// What Programs and Features shows beside the product: no Change button
// (there is nothing to choose), whom to ask and where to read; and the
// same names as the DLL's file properties, which inventory tools match.
TEST_F(PackageTables, TellsProgramsAndFeaturesWhatTheModuleTellsExplorer) {
    ASSERT_TRUE(m_package.Opened()) << AgentPackage();
    const std::pair<const char*, std::string> expected[] = {
        {"ARPNOMODIFY", "1"},
        {"ARPCONTACT", "Tarnex PDM support"},
        {"ARPHELPLINK", "https://support.tarnex.example/zeldmagent"},
        {"ARPURLINFOABOUT", "https://www.tarnex.example/zelview"},
        {"ProductName", ModuleVersionText(BuiltModulePath(), "ProductName")},
        {"ProductVersion", ModuleVersionText(BuiltModulePath(), "ProductVersion")},
        {"Manufacturer", ModuleVersionText(BuiltModulePath(), "CompanyName")},
    };
    for (const auto& [property, value] : expected) EXPECT_EQ(m_package.Property(property), value) << property;
}

}  // namespace
