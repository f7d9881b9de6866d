#include "pdm/session_log.h"

#include "pdm/save_policy.h"
#include "platform/com/string_ids.h"
#include "platform/system/event_log.h"
#include "platform/system/log_file.h"
#include "platform/system/machine_policy.h"
#include "platform/text/ansi_code_page.h"
#include "platform/text/ascii_fold.h"
#include "platform/text/paths.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// Every line says whose it is on a debug output shared by all programs.
constexpr char kDebugOutputSource[] = "ZelDMAgent: ";
constexpr char kLineEnd[] = "\r\n";
// What stands for a control character of a logged value: a line break in a
// markup name must not forge a line of its own.
constexpr char kControlStandIn = '?';
constexpr size_t kShownSessionIdCharacters = 4;
// Of an identifier this short, the four characters shown would all but
// give away the rest.
constexpr size_t kMaxHiddenSessionIdCharacters = 8;

// Read without the lock, so that a session without a log pays one load per
// event; the path, the file, the identifiers and the writes go under it.
std::atomic<int> g_level{static_cast<int>(LogLevel::kOff)};
std::atomic<bool> g_eventLog{true};
std::mutex g_lock;
std::string g_path;
LogFile g_file;
std::vector<std::string> g_sessionIds;

struct Refusal {
    unsigned messageId;  // also the number of its event
    EventLevel level;
    const char* reason;
};

// What the administrator must mend is an error; what the rules refused on
// purpose is a warning; a read-only markup is the rights working.
constexpr Refusal kRefusals[] = {
    {IDS_NO_MARKUP_PERMISSION, EventLevel::kInformation, "the markup is read-only"},
    {IDS_SAVE_NO_COMMAND, EventLevel::kError, "the launch file names no save program"},
    {IDS_SAVE_UNSAFE_LAUNCH_VALUE, EventLevel::kError, "a launch file value cannot be passed on safely"},
    {IDS_SAVE_UNSAFE_FILE_NAME, EventLevel::kWarning, "the markup's file name cannot be passed on safely"},
    {IDS_SAVE_COMMAND_TOO_LONG, EventLevel::kError, "the command line is too long"},
    {IDS_SAVE_PROGRAM_NOT_ALLOWED, EventLevel::kWarning, "the machine policy does not list the save program"},
    {IDS_SAVE_NOT_STARTED, EventLevel::kError, "the save program could not be started"},
    {IDS_SAVE_NO_FILE_NAME, EventLevel::kWarning, "the markup path has no file name"},
    {IDS_SAVE_MARKUP_STREAM, EventLevel::kWarning, "the markup path names a stream of a file"},
    {IDS_SAVE_NAME_TOO_LONG, EventLevel::kWarning, "a path is too long"},
    {IDS_SAVE_UNKNOWN_DOCUMENT, EventLevel::kWarning, "the document is not one of the session's"},
    {IDS_SAVE_NO_SERVER_FILE, EventLevel::kError, "the server file is missing or was cut"},
    {IDS_SAVE_PROGRAM_NOT_FOUND, EventLevel::kError, "the save program's path is not there"},
    {IDS_SAVE_NO_PROGRAM_ALLOWED, EventLevel::kWarning, "the machine policy allows no save program"},
    {IDS_SAVE_PROGRAM_NOT_FULL_PATH, EventLevel::kWarning, "the save program has no full path"},
};
constexpr Refusal kUnknownRefusal = {0, EventLevel::kWarning, "refused"};

const Refusal& RefusalOf(unsigned messageId) {
    for (const Refusal& refusal : kRefusals)
        if (refusal.messageId == messageId) return refusal;
    return kUnknownRefusal;
}

// Each occurrence of id that begins on a character, so that the trail byte
// of one character and the bytes after it never pass for the identifier.
std::string WithIdMasked(const std::string& text, const std::string& id, const std::string& masked) {
    std::string result;
    size_t at = 0;
    while (at < text.size()) {
        if (text.compare(at, id.size(), id) == 0) {
            result += masked;
            at += id.size();
            continue;
        }
        const size_t length = std::max<size_t>(1, CharacterLength(text, at));
        result.append(text, at, length);
        at += length;
    }
    return result;
}

// Whether a word of eight bytes holds one below 0x20 or DEL: a line's bytes
// are looked at eight at a time, and one by one only where one is.
bool HoldsControlCharacter(uint64_t word) {
    const uint64_t below20 = (word - kEveryByte * 0x20) & ~word & kHighBits;
    const uint64_t del = word ^ (kEveryByte * 0x7F);
    return (below20 | ((del - kEveryByte) & ~del & kHighBits)) != 0;
}

void ReplaceControlCharacters(std::string& text, size_t from, size_t to) {
    for (size_t at = from; at < to; ++at)
        if (static_cast<unsigned char>(text[at]) < 0x20 || text[at] == 0x7F) text[at] = kControlStandIn;
}

void ReplaceControlCharacters(std::string& text, size_t from) {
    // No second byte of a double-byte character is a control character.
    size_t at = from;
    for (; at + sizeof(uint64_t) <= text.size(); at += sizeof(uint64_t)) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + at, sizeof word);
        if (HoldsControlCharacter(word)) ReplaceControlCharacters(text, at, at + sizeof word);
    }
    ReplaceControlCharacters(text, at, text.size());
}

// Appends text as every channel shows it: the session identifiers masked,
// the control characters replaced. Called under the lock.
void AppendCleanedLocked(std::string& out, const std::string& text) {
    const size_t from = out.size();
    // A copy only when an identifier is there to mask.
    std::string masked;
    const std::string* current = &text;
    for (const std::string& id : g_sessionIds) {
        if (current->find(id) == std::string::npos) continue;
        masked = WithIdMasked(*current, id, MaskedSessionId(id));
        current = &masked;
    }
    out += *current;
    ReplaceControlCharacters(out, from);
}

std::string Cleaned(const std::string& text) {
    std::string cleaned;
    const std::lock_guard<std::mutex> hold(g_lock);
    AppendCleanedLocked(cleaned, text);
    return cleaned;
}

// The line is built whole before the one write; its stamp outside the lock.
void WriteLogLine(const std::string& event) {
    constexpr size_t kStampReserve = 64;
    std::string line;
    line.reserve(kStampReserve + event.size() + sizeof kLineEnd);
    AppendLogLineStamp(line);
    const std::lock_guard<std::mutex> hold(g_lock);
    if (g_path.empty()) return;
    AppendCleanedLocked(line, event);
    line += kLineEnd;
    g_file.Append(g_path, line);
}

LogLevel LevelOf(std::optional<unsigned long> number) {
    return number && *number >= static_cast<unsigned long>(LogLevel::kViewerCalls) ? LogLevel::kViewerCalls
                                                                                      : LogLevel::kSessions;
}

}  // namespace

void ConfigureSessionLog() {
    std::optional<std::string> path = ReadPolicyText(kPdmPolicyKey, kLogFileValue);
    // A relative path would put the log wherever the viewer's current
    // folder happens to be.
    const bool logs = path && IsFullPath(*path);
    const LogLevel level = logs ? LevelOf(ReadPolicyNumber(kPdmPolicyKey, kLogLevelValue)) : LogLevel::kOff;
    const bool eventLog = ReadPolicySwitch(kPdmPolicyKey, kEventLogValue) != PolicySwitch::kOff;
    const std::lock_guard<std::mutex> hold(g_lock);
    if (!logs || *path != g_path) g_file.Close();
    g_path = logs ? std::move(*path) : std::string();
    g_level.store(static_cast<int>(level), std::memory_order_relaxed);
    g_eventLog.store(eventLog, std::memory_order_relaxed);
}

std::string SessionLogSettings() {
    return "log level " + std::to_string(g_level.load(std::memory_order_relaxed)) + ", event log " +
           (g_eventLog.load(std::memory_order_relaxed) ? "on" : "off");
}

void HideSessionId(const std::string& sessionId) {
    if (sessionId.empty()) return;
    const std::lock_guard<std::mutex> hold(g_lock);
    if (std::find(g_sessionIds.begin(), g_sessionIds.end(), sessionId) == g_sessionIds.end())
        g_sessionIds.push_back(sessionId);
}

bool SessionLogHolds(LogLevel level) {
    const int current = g_level.load(std::memory_order_relaxed);
    return current != static_cast<int>(LogLevel::kOff) && current >= static_cast<int>(level);
}

void LogEvent(LogLevel level, const std::string& event) {
    if (SessionLogHolds(level)) WriteLogLine(event);
}

void ReportEvent(const std::string& event) {
    WriteDebugOutput(kDebugOutputSource + Cleaned(event));
    LogEvent(LogLevel::kSessions, event);
}

void ReportViewerCall(const char* name, HRESULT hr) {
    const bool failed = FAILED(hr);
    if (!failed && !SessionLogHolds(LogLevel::kViewerCalls)) return;
    char result[16];
    std::snprintf(result, sizeof result, "0x%08lX", static_cast<unsigned long>(static_cast<uint32_t>(hr)));
    const std::string event = std::string("viewer call ") + name + ": " + result;
    if (failed) ReportEvent(event);
    else WriteLogLine(event);
}

void ReportRefusedSave(unsigned messageId, const std::string& markupPath, const std::string& detail) {
    const Refusal& refusal = RefusalOf(messageId);
    std::string event = "save refused: message " + std::to_string(messageId) + " (" + refusal.reason +
                        "); markup " + markupPath;
    if (!detail.empty()) event += "; " + detail;
    ReportEvent(event);
    if (g_eventLog.load(std::memory_order_relaxed))
        WriteEventLogEntry(messageId, refusal.level, {Cleaned(markupPath), Cleaned(detail)});
}

std::string MaskedSessionId(const std::string& sessionId) {
    size_t shownEnd = 0;
    size_t characters = 0;
    for (size_t at = 0; at < sessionId.size(); ++characters) {
        at += std::max<size_t>(1, CharacterLength(sessionId, at));
        if (characters < kShownSessionIdCharacters) shownEnd = at;
    }
    if (characters <= kMaxHiddenSessionIdCharacters) shownEnd = 0;
    std::string masked = sessionId.substr(0, shownEnd);
    ReplaceControlCharacters(masked, 0);
    return masked + "...(" + std::to_string(characters) + " chars)";
}
