#include "pdm/markup_save.h"

#include "pdm/save_command.h"
#include "pdm/save_policy.h"
#include "pdm/session_log.h"
#include "platform/com/module_context.h"
#include "platform/com/string_ids.h"
#include "platform/system/file_ops.h"
#include "platform/system/launch.h"
#include "platform/system/message.h"
#include "platform/text/ansi_code_page.h"
#include "platform/text/mbcompare.h"
#include "platform/text/paths.h"

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

// Tells the debug output and the log, then the user; waits for OK, and
// fails the save.
HRESULT RefuseSave(unsigned messageId, const char* markupPath, const std::string& detail = {}) {
    ReportRefusedSave(messageId, markupPath, detail);
    ShowMessage(LoadModuleString(messageId));
    return E_FAIL;
}

void LogLookup(const std::string& lookupPath, const ViewListEntry* entry) {
    if (!SessionLogHolds(LogLevel::kSessions)) return;
    LogEvent(LogLevel::kSessions, "save lookup: " + lookupPath +
                                      (entry ? "; list entry " + entry->m_strLocation + ", access \"" +
                                                   entry->m_strAccess + "\""
                                             : "; no list entry"));
}

constexpr char kStreamColon[] = ":";
constexpr char kDroppedAtNameEnd[] = ". ";
// Prefixes of long and device paths; a drive may follow them.
constexpr std::string_view kRawPathPrefixes[] = {"\\\\?\\", "\\\\.\\"};
constexpr size_t kDriveLength = 2;

// A colon anywhere but right after the drive letter names a stream of the
// file (name:stream, name::$DATA): the same file under another name.
bool NamesStream(std::string_view path) {
    for (const std::string_view prefix : kRawPathPrefixes)
        if (path.substr(0, prefix.size()) == prefix) path.remove_prefix(prefix.size());
    if (path.size() >= kDriveLength && path[1] == ':') path.remove_prefix(kDriveLength);
    return FindFirstCharacterOf(path, kStreamColon) != std::string_view::npos;
}

// Windows drops the dots and blanks that end a name: gear.xml. and gear.xml
// with a blank after it are gear.xml.
std::string WithoutTrailingDotsAndBlanks(const std::string& path) {
    size_t end = 0;
    for (size_t at = 0; at < path.size();) {
        const size_t length = CharacterLength(path, at);
        at += length;
        if (length > 1 || std::string_view(kDroppedAtNameEnd).find(path[at - 1]) == std::string_view::npos) end = at;
    }
    return path.substr(0, end);
}

// The markup's file name as the file system knows it, which is the name
// looked up and handed to the PDM; or why there is none to save under.
unsigned MarkupFileName(const char* markupPath, std::string& name) {
    if (NamesStream(markupPath)) return IDS_SAVE_MARKUP_STREAM;
    // The viewer has written the file, so its long name can be asked for: a
    // short name (BRACKE~1.XML) is the same file under another spelling. It
    // is asked for the name that Windows keeps: a short name with a dot after
    // it may come back unchanged.
    const std::string path = LongPathName(WithoutTrailingDotsAndBlanks(markupPath));
    if (!PathFileNameFits(path)) return IDS_SAVE_NAME_TOO_LONG;
    name = PathFileName(path);
    // An empty name would tell the PDM nothing of which file to take in.
    if (name.empty()) return IDS_SAVE_NO_FILE_NAME;
    return 0;
}

}  // namespace

HRESULT SaveMarkupToPdm(const CDMAgentConnection& record, EntryList* markups, const char* markupPath) {
    LogEvent(LogLevel::kSessions, std::string("save requested: markup ") + markupPath);
    std::string fileName;
    if (const unsigned fault = MarkupFileName(markupPath, fileName)) return RefuseSave(fault, markupPath);
    const bool listed = markups && !markups->IsEmpty();
    // A cut folder would look the markup up somewhere else; without markups
    // nothing is looked up.
    if (listed && !PathFolderFits(record.m_strServerPath))
        return RefuseSave(IDS_SAVE_NAME_TOO_LONG, markupPath, "server file " + record.m_strServerPath);
    // The markup is looked for beside the server file, whatever folder the
    // viewer wrote it to.
    const std::string lookupPath = PathFolder(record.m_strServerPath) + fileName;
    const ViewListEntry* entry = listed ? markups->FindByLocalPath(lookupPath) : nullptr;
    LogLookup(lookupPath, entry);
    if (entry && MbsCompare(entry->m_strAccess.c_str(), kRefusedAccess) == 0)
        return RefuseSave(IDS_NO_MARKUP_PERMISSION, markupPath, "list entry " + entry->m_strLocation);

    const SaveCommandItems items{record.m_strDMAgent, record.m_strSessionID, record.m_strServerPath, fileName,
                                 record.m_strApplication};
    const SaveCommand command = BuildSaveCommand(items);
    if (command.fault != SaveCommandFault::kNone) return RefuseSave(MessageOf(command.fault), markupPath);
    if (const SavePolicyCheck policy = CheckSavePolicy(record.m_strDMAgent); policy.messageId != 0) {
        ReportRefusedSave(policy.messageId, markupPath,
                          "program " + TrimBlanks(record.m_strDMAgent) + "; policy " + policy.state);
        ShowMessage(policy.message);
        return E_FAIL;
    }
    const std::string logged = CommandLineForLog(items, command.line, MaskedSessionId(record.m_strSessionID));
    if (LaunchCommand(command.line) != 0) return RefuseSave(IDS_SAVE_NOT_STARTED, markupPath, "command " + logged);
    ReportEvent("save launched: " + logged);
    return S_OK;
}
