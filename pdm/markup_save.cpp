#include "pdm/markup_save.h"

#include "pdm/save_command.h"
#include "pdm/save_policy.h"
#include "platform/launch.h"
#include "platform/mbcompare.h"
#include "platform/module_context.h"
#include "platform/paths.h"
#include "platform/string_ids.h"

namespace {

// Only the lower-case word refuses a save; loading reads any case as read-only.
constexpr char kRefusedAccess[] = "read";

unsigned MessageOf(SaveCommandFault fault) {
    switch (fault) {
    case SaveCommandFault::kNoProgram: return IDS_SAVE_NO_COMMAND;
    case SaveCommandFault::kUnsafeFileName: return IDS_SAVE_UNSAFE_FILE_NAME;
    case SaveCommandFault::kTooLong: return IDS_SAVE_COMMAND_TOO_LONG;
    case SaveCommandFault::kUnsafeLaunchValue:
    case SaveCommandFault::kNone: break;
    }
    return IDS_SAVE_UNSAFE_LAUNCH_VALUE;
}

// Tells the user, waits for OK, and fails the save.
HRESULT RefuseSave(unsigned messageId) {
    ShowMessage(LoadModuleString(messageId));
    return E_FAIL;
}

}  // namespace

HRESULT SaveMarkupToPdm(const CDMAgentConnection& record, EntryList* markups, const char* markupPath) {
    // The markup is looked for beside the server file, whatever folder the
    // viewer wrote it to.
    const std::string lookupPath = PathFolder(record.m_strServerPath) + PathFileName(markupPath);
    const ViewListEntry* entry = markups ? markups->FindByLocalPath(lookupPath) : nullptr;
    if (entry && MbsCompare(entry->m_strAccess.c_str(), kRefusedAccess) == 0)
        return RefuseSave(IDS_NO_MARKUP_PERMISSION);

    const SaveCommand command = BuildSaveCommand({record.m_strDMAgent, record.m_strSessionID,
                                                  record.m_strServerPath, PathFileName(lookupPath),
                                                  record.m_strApplication});
    if (command.fault != SaveCommandFault::kNone) return RefuseSave(MessageOf(command.fault));
    if (const std::string refusal = SavePolicyRefusal(record.m_strDMAgent); !refusal.empty()) {
        ShowMessage(refusal);
        return E_FAIL;
    }
    if (LaunchCommand(command.line) != 0) return RefuseSave(IDS_SAVE_NOT_STARTED);
    return S_OK;
}
