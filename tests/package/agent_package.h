// What the package tests share: where the packages and the installed module
// are, the products installed under the agent's upgrade code, and a fixture
// that leaves the test prefix's registry and products as it found them.
#pragma once

#include "tests/package/registry_snapshot.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// The package's identity, which no release may change.
inline constexpr const char* kUpgradeCode = "{2F443C1A-CD62-4B8E-8617-2FCF4DE8FA0F}";
inline constexpr const char* kProductName = "ZelDMAgent";
inline constexpr const char* kManufacturer = "Tarnex";
inline constexpr const char* kComponentId = "{4524D27E-3F5A-4FD0-9A89-DB537EF4C55E}";
// What Windows Installer returns when an install fails, a refused one too.
inline constexpr DWORD kInstallFailure = ERROR_INSTALL_FAILURE;

std::string AgentPackage();
std::string OlderAgentPackage();
std::string RebuiltAgentPackage();
// A launch file of the examples folder.
std::string ExampleLaunchFile(const std::string& name);
// The module built beside the tests, which regsvr32 registers.
std::string BuiltModulePath();
// %ProgramFiles%\ZelDMAgent\ZelDMAgent.dll
std::string InstalledModulePath();
std::string FolderOf(const std::string& path);
bool FileExists(const std::string& path);
// A text of the DLL's version resource (US English, Unicode), or "<no NAME>".
std::string ModuleVersionText(const std::string& path, const std::string& name);
// Its FileVersion.
std::string ModuleFileVersion(const std::string& path);
// The file version that installers compare (the fixed file information), as
// a.b.c.d.
std::string ModuleFixedVersion(const std::string& path);

// msiexec.exe with the arguments; its exit code, or nullopt.
std::optional<DWORD> Msiexec(const std::string& arguments);
// Product codes installed under the agent's upgrade code.
std::vector<std::string> InstalledAgentProducts();
std::string ProductVersion(const std::string& productCode);

// The agent's keys: under HKEY_CLASSES_ROOT both ProgIDs, the class, the
// type library and its interface; under HKEY_LOCAL_MACHINE its event source.
struct AgentRegistryKey {
    HKEY hive;
    std::string path;
};
const std::vector<AgentRegistryKey>& AgentRegistryKeys();
RegistryValues AgentRegistryValues(const std::string& modulePath);
// The keys the agent's keys live in (HKEY_CLASSES_ROOT itself, CLSID and
// TypeLib), with their subkeys' names, Windows Installer's own "Installer"
// records left out.
std::vector<std::set<std::string>> SharedKeyNames();

// Starts each test with no agent registered and no agent product installed;
// ends it by removing the products it installed and writing the agent's
// keys back as they were, for the other registration tests of the prefix.
class PackageInstallTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    std::vector<RegistryTree> m_saved;
};
