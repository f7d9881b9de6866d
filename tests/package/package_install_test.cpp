// The package under the system's Windows Installer, installed and removed
// quietly with msiexec as an administrator's deployment tool does.
#include "tests/module/agent_module_loader.h"
#include "tests/module/agent_registration_checks.h"
#include "tests/module/regsvr32_runner.h"
#include "tests/package/agent_package.h"
#include "tests/support/program_runner.h"
#include "tests/support/wait_scale.h"

#include <gmock/gmock.h>

#include <msi.h>

#include <fstream>
#include <sstream>

namespace {

using ::testing::IsEmpty;
using ::testing::Not;

constexpr const char* kNewerRefused = "A newer version of ZelDMAgent is already installed.";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<DWORD> Install(const std::string& package) { return Msiexec("/i " + Quoted(package) + " /qn"); }

// Holds a module loaded, as the viewer's process holds the agent.
struct LoadedModuleTraits {
    using Handle = HMODULE;
    static constexpr Handle kEmpty = nullptr;
    static void Close(Handle module) { FreeLibrary(module); }
};
using LoadedModule = UniqueResource<LoadedModuleTraits>;

// The one product of the agent, at its version.
std::string OnlyProductVersion() {
    const std::vector<std::string> products = InstalledAgentProducts();
    if (products.size() != 1) return std::to_string(products.size()) + " products";
    return ProductVersion(products.front());
}

// The viewer's stand-in host plays a short session: it creates the agent by
// its ProgID, as the viewer does, and the agent loads its viewer library
// from the host's folder.
void ExpectHostSessionRuns() {
    const std::string output = "installed-agent-session.txt";
    const std::string command = Quoted(TestExecutableFolder() + "zelview-sim.exe") + " " +
                                Quoted(ExampleLaunchFile("model-3d.zvl"));
    EXPECT_EQ(RunProgram(command, output), 0u) << ReadText(output);
    const std::string report = ReadText(output);
    for (const char* line : {"COM runtime, ProgID ZelDMAgent.DMAgent", "OpenStream           S_OK",
                             "LoadDocumentMarkups  S_OK", "every viewer reference the agent took was released"})
        EXPECT_NE(report.find(line), std::string::npos) << "no line with: " << line << "\n" << report;
}

TEST_F(PackageInstallTest, InstallWritesWhatRegsvr32WritesAndServesTheViewer) {
    const auto namesBefore = SharedKeyNames();
    ASSERT_EQ(RunRegsvr32(false), 0);
    const RegistryValues byRegsvr32 = AgentRegistryValues(BuiltModulePath());
    ASSERT_EQ(RunRegsvr32(true), 0);
    // regsvr32 /u leaves the type library registered.
    for (const AgentRegistryKey& key : AgentRegistryKeys()) RegDeleteTreeA(key.hive, key.path.c_str());
    ASSERT_EQ(SharedKeyNames(), namesBefore);

    ASSERT_EQ(Install(AgentPackage()), 0u);
    const std::string installed = InstalledModulePath();
    EXPECT_TRUE(FileExists(installed)) << installed;
    EXPECT_FALSE(FileExists(FolderOf(installed) + "\\NUVComCreate.dll")) << "the viewer's library is the viewer's";
    // The Group Policy template, as built, for administrators to copy.
    for (const char* file : {"ZelDMAgent.admx", "en-US\\ZelDMAgent.adml"}) {
        const std::string shipped = FolderOf(installed) + "\\PolicyDefinitions\\" + file;
        EXPECT_TRUE(FileExists(shipped)) << shipped;
        EXPECT_EQ(ReadText(shipped), ReadText(FolderOf(BuiltModulePath()) + "\\PolicyDefinitions\\" + file)) << file;
    }
    const RegistryValues byPackage = AgentRegistryValues(installed);
    EXPECT_THAT(byRegsvr32, Not(IsEmpty())) << "regsvr32 wrote nothing to compare with";
    EXPECT_EQ(RegistryDifferences(byRegsvr32, "regsvr32", byPackage, "the package"), "");
    ExpectAgentRegistered(installed);

    // Nothing beside the agent's own keys.
    auto namesAfter = SharedKeyNames();
    namesAfter[0].erase("zeldmagent.dmagent");
    namesAfter[0].erase("zeldmagent.dmagent.1");
    namesAfter[1].erase("{fe4f5263-11d5-d724-d5ba-a978983b6369}");
    namesAfter[2].erase("{de2ba9c8-cf2e-d1df-8b64-441c516b64ae}");
    EXPECT_EQ(namesAfter, namesBefore);

    // One version in the product, the package and the DLL.
    EXPECT_EQ(OnlyProductVersion(), ModuleFileVersion(installed));
    EXPECT_EQ(ModuleFileVersion(installed), ModuleFileVersion(BuiltModulePath()));
    const std::vector<std::string> products = InstalledAgentProducts();
    ASSERT_EQ(products.size(), 1u);
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    EXPECT_EQ(MsiGetComponentPathA(products.front().c_str(), kComponentId, path, &size), INSTALLSTATE_LOCAL);
    EXPECT_STRCASEEQ(path, installed.c_str());

    ExpectHostSessionRuns();
}

// An administrator may install the agent elsewhere (INSTALLDIR): its
// registration follows the file, the type library's help folder too.
TEST_F(PackageInstallTest, RegistrationFollowsAnInstallFolderTheAdministratorChose) {
    const std::string folder = "C:\\ZelDMAgent elsewhere";
    ASSERT_EQ(Msiexec("/i " + Quoted(AgentPackage()) + " /qn INSTALLDIR=" + Quoted(folder + "\\")), 0u);
    const std::string installed = folder + "\\ZelDMAgent.dll";
    EXPECT_TRUE(FileExists(installed)) << installed;
    ExpectAgentRegistered(installed);
    int helpFolders = 0;
    for (const auto& [key, value] : AgentRegistryValues(installed)) {
        if (key.find("\\helpdir\\") == std::string::npos) continue;
        ++helpFolders;
        EXPECT_EQ(value, "REG_SZ: <folder>") << key;
    }
    EXPECT_EQ(helpFolders, 1);
}

TEST_F(PackageInstallTest, UninstallRemovesExactlyWhatInstallWrote) {
    const auto namesBefore = SharedKeyNames();
    ASSERT_EQ(Install(AgentPackage()), 0u);
    const std::vector<std::string> products = InstalledAgentProducts();
    ASSERT_EQ(products.size(), 1u);
    ASSERT_EQ(Msiexec("/x " + Quoted(AgentPackage()) + " /qn"), 0u);

    const std::string installed = InstalledModulePath();
    EXPECT_FALSE(FileExists(installed)) << installed << " stays behind";
    EXPECT_FALSE(FileExists(FolderOf(installed))) << "the package's folder stays behind";
    EXPECT_EQ(AgentRegistryValues(installed), RegistryValues{});
    ExpectAgentUnregistered();
    EXPECT_EQ(SharedKeyNames(), namesBefore);
    EXPECT_EQ(MsiQueryProductStateA(products.front().c_str()), INSTALLSTATE_UNKNOWN);
    EXPECT_THAT(InstalledAgentProducts(), IsEmpty());
}

TEST_F(PackageInstallTest, NewerReplacesOlderAndOlderIsRefusedWithTheInstallersMessage) {
    ASSERT_EQ(Install(OlderAgentPackage()), 0u);
    const std::string older = OnlyProductVersion();
    EXPECT_EQ(ModuleFixedVersion(InstalledModulePath()), "1.0.0.0");
    ASSERT_EQ(Install(AgentPackage()), 0u);
    const std::string newer = OnlyProductVersion();
    EXPECT_NE(newer, older);
    EXPECT_EQ(newer, ModuleFileVersion(BuiltModulePath()));
    EXPECT_EQ(ModuleFixedVersion(InstalledModulePath()), ModuleFixedVersion(BuiltModulePath())) << "the file is replaced";
    ExpectAgentRegistered(InstalledModulePath());

    // A rebuild of the same version replaces the installed one too: the
    // installer would otherwise keep both, each owning the same file.
    const std::string replaced = InstalledAgentProducts().front();
    ASSERT_EQ(Install(RebuiltAgentPackage()), 0u);
    ASSERT_EQ(InstalledAgentProducts().size(), 1u);
    EXPECT_NE(InstalledAgentProducts().front(), replaced);

    // With the basic interface the installer shows why it refuses.
    const ShownMessage refusal =
        RunProgramPressingOk("msiexec.exe /i " + Quoted(OlderAgentPackage()) + " /qb", ScaledWait(std::chrono::seconds(60)));
    EXPECT_EQ(refusal.exitCode, kInstallFailure);
    EXPECT_TRUE(refusal.shown) << "no message box; msiexec exited with " << testing::PrintToString(refusal.exitCode);
    EXPECT_EQ(refusal.text, kNewerRefused);
    EXPECT_EQ(OnlyProductVersion(), newer);
    EXPECT_TRUE(FileExists(InstalledModulePath())) << InstalledModulePath() << " is gone after the refused downgrade";
}

// A viewer holds the installed module (loaded in its process, as the COM
// runtime loads it) while the administrator installs a newer package: the
// newer product is installed and registered, the file in use is replaced at
// the next start of Windows (msiexec says 3010), the viewer goes on with
// the older one until then.
TEST_F(PackageInstallTest, UpgradeWhileAViewerHoldsTheModuleFinishesAtTheNextStart) {
    ASSERT_EQ(Install(OlderAgentPackage()), 0u);
    const std::string installed = InstalledModulePath();
    const std::string older = ModuleFixedVersion(installed);
    LoadedModule held(LoadLibraryExA(installed.c_str(), nullptr, 0));
    ASSERT_TRUE(held) << installed << ": error " << GetLastError();
    EXPECT_EQ(Msiexec("/i " + Quoted(AgentPackage()) + " /qn /norestart"), DWORD{ERROR_SUCCESS_REBOOT_REQUIRED});
    EXPECT_EQ(OnlyProductVersion(), ModuleFileVersion(BuiltModulePath()));
    EXPECT_EQ(ModuleFixedVersion(installed), older) << "the file in use stays until the next start";
    ExpectAgentRegistered(installed);
    // The next start (wineboot's restart) carries out what the installer
    // left for it, once the viewer has let go.
    held.reset();
    EXPECT_EQ(RunProgram("wineboot.exe -r"), 0u);
    EXPECT_EQ(ModuleFixedVersion(installed), ModuleFixedVersion(BuiltModulePath()));
}

}  // namespace
