#include "pdm/session_log.h"

#include "pdm/save_policy.h"
#include "platform/text/ansi_code_page.h"
#include "platform/system/log_file.h"
#include "platform/system/machine_policy.h"
#include "platform/text/paths.h"
#include "platform/com/string_ids.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>

namespace {

// Every line says whose it is on a debug output shared by all programs.
constexpr char kDebugOutputSource[] = "ZelDMAgent: ";
constexpr char kLineEnd[] = "\r\n";
// What stands for a control character of a logged value: a line break in a
// markup name must not forge a line of its own.
constexpr char kControlStandIn = '?';
constexpr size_t kShownSessionIdCharacters = 4;

// Read without the lock, so that a session without a log pays one load per
// event; the path and the writes go under it.
std::atomic<int> g_level{static_cast<int>(LogLevel::kOff)};
std::mutex g_lock;
std::string g_path;

std::string WithoutControlCharacters(std::string text) {
    // No second byte of a double-byte character is a control character.
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = kControlStandIn;
    return text;
}

void WriteLogLine(const std::string& event) {
    const std::string line = LogLineStamp() + WithoutControlCharacters(event) + kLineEnd;
    const std::lock_guard<std::mutex> hold(g_lock);
    if (!g_path.empty()) AppendLogLine(g_path, line);
}

const char* RefusalReason(unsigned messageId) {
    switch (messageId) {
    case IDS_NO_MARKUP_PERMISSION: return "the markup is read-only";
    case IDS_SAVE_NO_COMMAND: return "the launch file names no save program";
    case IDS_SAVE_UNSAFE_LAUNCH_VALUE: return "a launch file value cannot be passed on safely";
    case IDS_SAVE_UNSAFE_FILE_NAME: return "the markup's file name cannot be passed on safely";
    case IDS_SAVE_COMMAND_TOO_LONG: return "the command line is too long";
    case IDS_SAVE_PROGRAM_NOT_ALLOWED: return "the machine policy does not list the save program";
    case IDS_SAVE_NOT_STARTED: return "the save program could not be started";
    case IDS_SAVE_NO_FILE_NAME: return "the markup path has no file name";
    case IDS_SAVE_MARKUP_STREAM: return "the markup path names a stream of a file";
    case IDS_SAVE_NAME_TOO_LONG: return "a path is too long";
    case IDS_SAVE_UNKNOWN_DOCUMENT: return "the document is not one of the session's";
    case IDS_SAVE_NO_SERVER_FILE: return "the server file is missing or was cut";
    case IDS_SAVE_PROGRAM_NOT_FOUND: return "the save program's path is not there";
    case IDS_SAVE_NO_PROGRAM_ALLOWED: return "the machine policy allows no save program";
    case IDS_SAVE_PROGRAM_NOT_FULL_PATH: return "the save program has no full path";
    default: return "refused";
    }
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
    const std::lock_guard<std::mutex> hold(g_lock);
    g_path = logs ? std::move(*path) : std::string();
    g_level.store(static_cast<int>(level), std::memory_order_relaxed);
}

bool SessionLogHolds(LogLevel level) {
    const int current = g_level.load(std::memory_order_relaxed);
    return current != static_cast<int>(LogLevel::kOff) && current >= static_cast<int>(level);
}

void LogEvent(LogLevel level, const std::string& event) {
    if (SessionLogHolds(level)) WriteLogLine(event);
}

void ReportEvent(const std::string& event) {
    WriteDebugOutput(kDebugOutputSource + WithoutControlCharacters(event));
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
    std::string event = "save refused: message " + std::to_string(messageId) + " (" + RefusalReason(messageId) +
                        "); markup " + markupPath;
    if (!detail.empty()) event += "; " + detail;
    ReportEvent(event);
}

std::string MaskedSessionId(const std::string& sessionId) {
    size_t shownEnd = 0;
    size_t characters = 0;
    for (size_t at = 0; at < sessionId.size(); ++characters) {
        at += CharacterLength(sessionId, at);
        if (characters < kShownSessionIdCharacters) shownEnd = at;
    }
    // All of a short one would be the whole credential.
    if (characters <= kShownSessionIdCharacters) shownEnd = 0;
    return WithoutControlCharacters(sessionId.substr(0, shownEnd)) + "...(" + std::to_string(characters) + " chars)";
}
