// The log that the machine policy switches on, in the Wine prefix's real
// registry, through the DLL: a session's decisions read back line by line,
// and a log that cannot be written or is not configured changing nothing.
#include "platform/com/string_ids.h"
#include "tests/save_dll/dll_save_session.h"
#include "tests/support/log_policy.h"
#include "tests/support/save_policy_for_test.h"

#include <optional>

namespace {

using testing::ElementsAre;
using testing::StartsWith;

constexpr char kMaskedId[] = "4f3a...(12 chars)";
constexpr char kRefusedSave[] = "viewer call SaveMarkup: 0x80004005";

class SaveDllLog : public DllSaveRefusal {
protected:
    void StartLoggedSession() {
        StartWithValues("ServerPath=D:\\srv\\gear.xml\r\nsession_id=4f3a9c1e7b2d\r\nPDM_host=pdm.example\r\n",
                        "Application=view\r\nNumMarkups=2\r\nMarkup0=D:\\srv\\locked.xml\r\nMarkupAccess0=read\r\n"
                        "Markup1=D:\\srv\\open.xml\r\n");
        ComPtr<IAgentSession> session;
        ASSERT_HR(S_OK, m_agent.query(session));
        ASSERT_HR(S_OK, session->LoadDocumentMarkups(9));
    }
    std::string LaunchedLine() const {
        return "save launched: " + RecorderPath() + " MarkupSave " + kMaskedId + " D:\\srv\\gear.xml open.xml view";
    }
    // A save that shows nothing: no box comes up while it runs.
    void ExpectLaunchedSilently() {
        SeenBox seen;
        std::thread watcher = PressOkWhenShown("ZelView", seen, std::chrono::seconds(1));
        EXPECT_HR(S_OK, Save("C:\\tmp\\open.xml"));
        watcher.join();
        EXPECT_FALSE(seen.found) << seen.text;
        EXPECT_EQ(Arguments(), (Words{"MarkupSave", "4f3a9c1e7b2d", "D:\\srv\\gear.xml", "open.xml", "view"}))
            << CommandLines();
    }
};

TEST_F(SaveDllLog, ALoggedSessionTellsEachDecisionWithTheIdentifierMasked) {
    ScopedEnv folder("ZEL_LOG_FOLDER", m_dir.string());
    ScopedLogPolicy log("%ZEL_LOG_FOLDER%\\agent.log", REG_EXPAND_SZ);
    StartLoggedSession();
    ExpectLaunchedSilently();
    ExpectRefusal("C:\\tmp\\locked.xml", IDS_NO_MARKUP_PERMISSION);
    {
        ScopedSaveCommandsPolicy policy({"C:\\PDM\\pdm-save.exe"});
        SeenBox seen;
        std::thread presser = PressOkWhenShown("ZelView", seen);
        EXPECT_HR(E_FAIL, Save("C:\\tmp\\open.xml"));
        presser.join();
        EXPECT_TRUE(seen.found);
    }
    EXPECT_THAT(
        LogEvents((m_dir / "agent.log").string()),
        ElementsAre(StartsWith("session start: ZelDMAgent "),
                    "launch file: type PDM.Markup, PDM host pdm.example, view mode (none), 2 markups, server file "
                    "D:\\srv\\gear.xml, session " + std::string(kMaskedId),
                    "markup loaded: D:\\srv\\locked.xml; read-only: access \"read\"",
                    "markup loaded: D:\\srv\\open.xml; editable", "save requested: markup C:\\tmp\\open.xml",
                    "save lookup: D:\\srv\\open.xml; list entry D:\\srv\\open.xml, access \"\"", LaunchedLine(),
                    "save requested: markup C:\\tmp\\locked.xml",
                    "save lookup: D:\\srv\\locked.xml; list entry D:\\srv\\locked.xml, access \"read\"",
                    "save refused: message 105 (the markup is read-only); markup C:\\tmp\\locked.xml; list entry "
                    "D:\\srv\\locked.xml",
                    kRefusedSave, "save requested: markup C:\\tmp\\open.xml",
                    "save lookup: D:\\srv\\open.xml; list entry D:\\srv\\open.xml, access \"\"",
                    "save refused: message 111 (the machine policy does not list the save program); markup "
                    "C:\\tmp\\open.xml; program " + RecorderPath() + "; policy 1 listed in " +
                        kSaveCommandsPolicyKey,
                    kRefusedSave));
}

// No LogFile value, or one the agent cannot write to: the save runs and
// nothing is shown, and no file appears.
TEST_F(SaveDllLog, WithoutAWritableLogTheSaveRunsAndNothingIsShown) {
    for (const std::optional<std::string>& path :
         {std::optional<std::string>(), std::optional<std::string>((m_dir / "missing" / "agent.log").string())}) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPdmPolicyKey);
        std::optional<ScopedLogPolicy> log;
        if (path) log.emplace(*path);
        StartLoggedSession();
        ExpectLaunchedSilently();
        nuvsim::CloseDocuments();
        m_save.reset();
        m_resolve.reset();
        m_agent.reset();
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir / "missing"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "agent.log"));
}

}  // namespace
