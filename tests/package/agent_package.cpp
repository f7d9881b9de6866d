#include "tests/package/agent_package.h"

#include "tests/module/agent_module_loader.h"
#include "tests/support/program_runner.h"

#include <msi.h>

#include <algorithm>

namespace {

constexpr const char* kInstallFolder = "ZelDMAgent";
constexpr const char* kModuleFile = "ZelDMAgent.dll";
constexpr const char* kInstallerRecords = "installer";

// The build names its outputs by their paths on the build machine; Wine
// shows that file system as drive Z:.
std::string FromBuildPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

}  // namespace

std::string AgentPackage() { return FromBuildPath(ZEL_AGENT_PACKAGE); }
std::string OlderAgentPackage() { return FromBuildPath(ZEL_OLDER_AGENT_PACKAGE); }
std::string RebuiltAgentPackage() { return FromBuildPath(ZEL_REBUILT_AGENT_PACKAGE); }
std::string ExampleLaunchFile(const std::string& name) { return FromBuildPath(ZEL_EXAMPLES_DIR) + "\\" + name; }
std::string BuiltModulePath() { return TestExecutableFolder() + kModuleFile; }

std::string InstalledModulePath() {
    char folder[MAX_PATH] = {};
    ExpandEnvironmentStringsA("%ProgramFiles%", folder, sizeof folder);
    return std::string(folder) + "\\" + kInstallFolder + "\\" + kModuleFile;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ModuleVersionText(const std::string& path, const std::string& name) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    std::vector<char> data(size);
    void* text = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueA(data.data(), ("\\StringFileInfo\\040904B0\\" + name).c_str(), &text, &length))
        return "<no " + name + ">";
    return static_cast<const char*>(text);
}

std::string ModuleFileVersion(const std::string& path) { return ModuleVersionText(path, "FileVersion"); }

std::string ModuleFixedVersion(const std::string& path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
        return "<no version>";
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

std::optional<DWORD> Msiexec(const std::string& arguments) {
    return RunProgram("msiexec.exe " + arguments);
}

std::vector<std::string> InstalledAgentProducts() {
    std::vector<std::string> products;
    char product[39] = {};
    for (DWORD index = 0; MsiEnumRelatedProductsA(kUpgradeCode, 0, index, product) == ERROR_SUCCESS; ++index)
        products.emplace_back(product);
    return products;
}

std::string ProductVersion(const std::string& productCode) {
    char version[64] = {};
    DWORD size = sizeof version;
    if (MsiGetProductInfoA(productCode.c_str(), INSTALLPROPERTY_VERSIONSTRING, version, &size) != ERROR_SUCCESS)
        return "<no version>";
    return version;
}

const std::vector<AgentRegistryKey>& AgentRegistryKeys() {
    static const std::vector<AgentRegistryKey> keys = {
        {HKEY_CLASSES_ROOT, "ZelDMAgent.DMAgent.1"},
        {HKEY_CLASSES_ROOT, "ZelDMAgent.DMAgent"},
        {HKEY_CLASSES_ROOT, "CLSID\\{FE4F5263-11D5-D724-D5BA-A978983B6369}"},
        {HKEY_CLASSES_ROOT, "TypeLib\\{DE2BA9C8-CF2E-D1DF-8B64-441C516B64AE}"},
        {HKEY_CLASSES_ROOT, "Interface\\{DDC012F8-A786-5584-456D-044BC1F49414}"},
        {HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\ZelDMAgent"},
    };
    return keys;
}

RegistryValues AgentRegistryValues(const std::string& modulePath) {
    // The installer writes the help folder with its separator at the end,
    // the registering routine without: the same folder either way.
    const StandIns standIns = {
        {modulePath, "<module>"}, {FolderOf(modulePath) + "\\", "<folder>"}, {FolderOf(modulePath), "<folder>"}};
    RegistryValues values;
    for (const AgentRegistryKey& key : AgentRegistryKeys())
        values.merge(RegistryTree::Read(key.hive, key.path).Values(standIns));
    return values;
}

std::vector<std::set<std::string>> SharedKeyNames() {
    std::vector<std::set<std::string>> names;
    for (const char* parent : {"", "CLSID", "TypeLib"}) names.push_back(SubkeyNames(HKEY_CLASSES_ROOT, parent));
    names.front().erase(kInstallerRecords);
    return names;
}

namespace {

void UninstallAgentProducts() {
    for (const std::string& product : InstalledAgentProducts()) Msiexec("/x " + product + " /qn");
}

}  // namespace

void PackageInstallTest::SetUp() {
    for (const AgentRegistryKey& key : AgentRegistryKeys()) m_saved.push_back(RegistryTree::Read(key.hive, key.path));
    UninstallAgentProducts();
    for (const AgentRegistryKey& key : AgentRegistryKeys()) RegDeleteTreeA(key.hive, key.path.c_str());
    ASSERT_TRUE(InstalledAgentProducts().empty()) << "an agent product could not be removed before the test";
}

void PackageInstallTest::TearDown() {
    UninstallAgentProducts();
    for (const RegistryTree& saved : m_saved) saved.Restore();
}
