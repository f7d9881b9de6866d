// The package's own tables, read through the installer's database interface
// the way a deployment tool inspects a package before rolling it out.
#include "tests/package/agent_package.h"
#include "tests/package/msi_database.h"

#include <msidefs.h>

namespace {

// msidbUpgradeAttributesVersionMinInclusive | msidbUpgradeAttributesVersionMaxInclusive
constexpr const char* kOlderOrSameAttributes = "768";
// msidbUpgradeAttributesOnlyDetect
constexpr const char* kOnlyDetectAttributes = "2";
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

TEST_F(PackageTables, InstallsTheAgentAloneRegisteredByItsOwnTables) {
    ASSERT_TRUE(m_package.Opened()) << AgentPackage();
    const std::string version = m_package.Property("ProductVersion");
    EXPECT_EQ(m_package.Query("SELECT `FileName`, `Version`, `Language` FROM `File`"),
              (TableRows{{"ZelDMAgent.dll", version, "1033"}}));
    EXPECT_EQ(m_package.Query("SELECT `DefaultDir` FROM `Directory` WHERE `Directory_Parent` = 'ProgramFilesFolder'"),
              (TableRows{{"ZelDMAgent"}}));
    const auto selfRegistered = m_package.Query("SELECT `File_` FROM `SelfReg`");
    EXPECT_TRUE(!selfRegistered || selfRegistered->empty()) << "registration through self-registration";
    EXPECT_EQ(m_package.Query("SELECT `LibID`, `Version` FROM `TypeLib`"),
              (TableRows{{"{DE2BA9C8-CF2E-D1DF-8B64-441C516B64AE}", "256"}}));
    const auto server = m_package.Query(
        "SELECT `Root`, `Value` FROM `Registry` WHERE `Key` = 'CLSID\\{FE4F5263-11D5-D724-D5BA-A978983B6369}\\InprocServer32' "
        "AND `Name` IS NULL");
    EXPECT_EQ(server, (TableRows{{"0", "[#ZelDMAgent.dll]"}}));
}

TEST_F(PackageTables, UpgradesEveryOlderOrSameVersionAndRefusesOverANewerOne) {
    ASSERT_TRUE(m_package.Opened()) << AgentPackage();
    const std::string version = m_package.Property("ProductVersion");
    EXPECT_EQ(m_package.Query("SELECT `UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, `ActionProperty` "
                              "FROM `Upgrade` WHERE `ActionProperty` = 'ZEL_OLDER_INSTALLED'"),
              (TableRows{{kUpgradeCode, "0.0.0", version, kOlderOrSameAttributes, "ZEL_OLDER_INSTALLED"}}));
    EXPECT_EQ(m_package.Query("SELECT `UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, `ActionProperty` "
                              "FROM `Upgrade` WHERE `ActionProperty` = 'ZEL_NEWER_INSTALLED'"),
              (TableRows{{kUpgradeCode, version, "", kOnlyDetectAttributes, "ZEL_NEWER_INSTALLED"}}));
    EXPECT_EQ(m_package.Query("SELECT `Condition`, `Description` FROM `LaunchCondition`"),
              (TableRows{{"NOT ZEL_NEWER_INSTALLED", "A newer version of [ProductName] is already installed."}}));
}

}  // namespace
