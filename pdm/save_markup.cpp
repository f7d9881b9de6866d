// Saving a markup: a markup the user may only read is refused with a
// message; any other goes to the PDM front end's save command.
#include "agent/agent_base.h"

#include "pdm/save_command.h"
#include "platform/launch.h"
#include "platform/mbcompare.h"
#include "platform/module_context.h"
#include "platform/paths.h"
#include "platform/string_ids.h"

namespace {
// Only the lower-case word refuses a save; loading reads any case as read-only.
constexpr char kRefusedAccess[] = "read";
}  // namespace

HRESULT STDMETHODCALLTYPE CAgentBase::SaveMarkup(const char* markupPath) try {
    ModuleContextGuard context;
    RETURN_HR_IF_NULL(E_POINTER, markupPath);
    RETURN_HR_IF_NULL(E_FAIL, m_pRecord);
    const CDMAgentConnection& record = *m_pRecord;

    // The markup is looked for beside the server file, whatever folder the
    // viewer wrote it to.
    const std::string lookupPath = PathFolder(record.m_strServerPath) + PathFileName(markupPath);
    const ViewListEntry* entry = m_pMarkups ? m_pMarkups->FindByLocalPath(lookupPath) : nullptr;
    if (entry && MbsCompare(entry->m_strAccess.c_str(), kRefusedAccess) == 0) {
        ShowMessage(LoadModuleString(IDS_NO_MARKUP_PERMISSION));
        return E_FAIL;
    }

    const std::string command = JoinSaveCommand(record.m_strDMAgent, record.m_strSessionID, record.m_strServerPath,
                                                PathFileName(lookupPath), record.m_strApplication);
    RETURN_HR_IF(E_FAIL, !IsSafeCommandLine(command));
    return LaunchCommand(command) == 0 ? S_OK : E_FAIL;
}
CATCH_RETURN();
