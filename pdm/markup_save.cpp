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
constexpr char kNameSeparator[] = " ";
constexpr char kCutMark[] = "...";
constexpr size_t kMaxShownProgramBytes = 160;

unsigned MessageOf(SaveCommandFault fault) {
    switch (fault) {
    case SaveCommandFault::kNoProgram: return IDS_SAVE_NO_COMMAND;
    case SaveCommandFault::kUnsafeFileName: return IDS_SAVE_UNSAFE_FILE_NAME;
    case SaveCommandFault::kTooLong: return IDS_SAVE_COMMAND_TOO_LONG;
    case SaveCommandFault::kProgramNotFound: return IDS_SAVE_PROGRAM_NOT_FOUND;
    case SaveCommandFault::kUnsafeLaunchValue:
    case SaveCommandFault::kNone: break;
    }
    return IDS_SAVE_UNSAFE_LAUNCH_VALUE;
}

void LogLookup(const std::string& lookupPath, const ViewListEntry* entry) {
    if (!SessionLogHolds(LogLevel::kSessions)) return;
    LogEvent(LogLevel::kSessions, "save lookup: " + lookupPath +
                                      (entry ? "; list entry " + entry->m_strLocation + ", access \"" +
                                                   entry->m_strAccess + "\""
                                             : "; no list entry"));
}

constexpr char kStreamColon[] = ":";
constexpr size_t kDriveLength = 2;

// A colon anywhere but right after the drive letter names a stream of the
// file (name:stream, name::$DATA): the same file under another name.
bool NamesStream(const std::string& markupPath) {
    const std::string normalized = NormalizedPath(markupPath);
    std::string_view path = normalized;
    if (path.size() >= kDriveLength && path[1] == ':') path.remove_prefix(kDriveLength);
    return FindFirstCharacterOf(path, kStreamColon) != std::string_view::npos;
}

// A launch file text as a message shows it after its words: the text is a
// web front end's, and a box shows a readable name, not a page of it.
std::string ShownInMessage(const std::string& text) {
    if (text.size() <= kMaxShownProgramBytes) return text;
    size_t end = 0;
    for (size_t next; (next = end + CharacterLength(text, end)) <= kMaxShownProgramBytes;) end = next;
    return text.substr(0, end) + kCutMark;
}

bool IsReadOnly(const ViewListEntry& entry) { return MbsCompare(entry.m_strAccess.c_str(), kRefusedAccess) == 0; }

// The markup's file name as the file system knows it, which is the name
// looked up and handed to the PDM; or why there is none to save under.
unsigned MarkupFileName(const std::string& markupPath, std::string& name) {
    if (NamesStream(markupPath)) return IDS_SAVE_MARKUP_STREAM;
    // The viewer has written the file, so its long name can be asked for: a
    // short name (BRACKE~1.XML) is the same file under another spelling.
    // A path that ends in a folder (C:\vault\, C:\vault\.) names no file,
    // though its identity is that folder's.
    const std::string path = FileIdentity(markupPath);
    if (!PathFileNameFits(path)) return IDS_SAVE_NAME_TOO_LONG;
    name = PathFileName(path);
    // An empty name would tell the PDM nothing of which file to take in.
    if (name.empty() || PathFileName(std::string(WithoutTrailingDotsAndBlanks(markupPath))).empty())
        return IDS_SAVE_NO_FILE_NAME;
    return 0;
}

}  // namespace

SaveDecision SaveDecision::Refusal(unsigned messageId, std::string detail, std::string named) {
    SaveDecision refused;
    refused.messageId = messageId;
    refused.detail = std::move(detail);
    refused.named = std::move(named);
    return refused;
}

SaveDecision DecideSave(const SessionRecord& record, const std::string& markupPath) {
    std::string fileName;
    if (const unsigned fault = MarkupFileName(markupPath, fileName)) return SaveDecision::Refusal(fault);
    // The PDM would take the markup in beside a server file that is not the
    // session's: none at all, or the beginning of a longer one.
    if (record.m_strServerPath.empty() || record.m_bServerPathCut)
        return SaveDecision::Refusal(IDS_SAVE_NO_SERVER_FILE, "server file " + record.m_strServerPath);
    const EntryList& markups = record.m_markups;
    const bool listed = !markups.IsEmpty();
    // A cut folder would look the markup up somewhere else; without markups
    // nothing is looked up.
    if (listed && !PathFolderFits(record.m_strServerPath))
        return SaveDecision::Refusal(IDS_SAVE_NAME_TOO_LONG, "server file " + record.m_strServerPath);
    // The markup is looked for beside the server file, whatever folder the
    // viewer wrote it to, under any spelling of that folder.
    const std::string lookupPath = PathFolder(record.m_strServerPath) + fileName;
    const ViewListEntry* entry = listed ? markups.FindByLocalPath(lookupPath) : nullptr;
    LogLookup(lookupPath, entry);
    if (entry && IsReadOnly(*entry))
        return SaveDecision::Refusal(IDS_NO_MARKUP_PERMISSION, "list entry " + entry->m_strLocation);
    // The PDM is handed the file name alone and takes it in by that name: a
    // read-only markup of that name is refused wherever the folders say it
    // lies.
    if (const ViewListEntry* named = listed ? markups.FindByFileName(fileName, IsReadOnly) : nullptr)
        return SaveDecision::Refusal(IDS_NO_MARKUP_PERMISSION,
                                     "list entry " + named->m_strLocation + " has the same file name");

    const SaveCommandItems items{ReadSaveProgram(record.m_strDMAgent), record.m_strSessionID,
                                 record.m_strServerPath, fileName, record.m_strApplication};
    const SaveCommand command = BuildSaveCommand(items);
    if (command.fault == SaveCommandFault::kProgramNotFound)
        return SaveDecision::Refusal(IDS_SAVE_PROGRAM_NOT_FOUND, "program " + TrimBlanks(record.m_strDMAgent),
                                     TrimBlanks(record.m_strDMAgent));
    if (command.fault != SaveCommandFault::kNone) return SaveDecision::Refusal(MessageOf(command.fault));
    if (const SavePolicyCheck policy = CheckSavePolicy(items.program); policy.messageId != 0)
        return SaveDecision::Refusal(policy.messageId,
                                     "program " + TrimBlanks(record.m_strDMAgent) + "; policy " + policy.state,
                                     items.program.program);
    SaveDecision decision;
    decision.commandLine = command.line;
    decision.loggedLine = CommandLineForLog(items, MaskedSessionId(record.m_strSessionID));
    return decision;
}

HRESULT CarryOutSave(const SaveDecision& decision, const std::string& markupPath) {
    SaveDecision outcome = decision;
    if (!outcome.Refused() && LaunchCommand(outcome.commandLine) != 0)
        outcome = SaveDecision::Refusal(IDS_SAVE_NOT_STARTED, "command " + decision.loggedLine);
    if (!outcome.Refused()) {
        ReportEvent("save launched: " + outcome.loggedLine);
        return S_OK;
    }
    // The debug output and the log first: the box waits for the user.
    ReportRefusedSave(outcome.messageId, markupPath, outcome.detail);
    // What the message names goes after its text as text, never into a format.
    const std::string text = LoadModuleString(outcome.messageId);
    ShowMessage(outcome.named.empty() ? text : text + kNameSeparator + ShownInMessage(outcome.named));
    return E_FAIL;
}

HRESULT SaveMarkupToPdm(const SessionRecord& record, const char* markupPath) {
    LogEvent(LogLevel::kSessions, std::string("save requested: markup ") + markupPath);
    return CarryOutSave(DecideSave(record, markupPath), markupPath);
}
