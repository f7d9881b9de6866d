// What a session leaves behind for an administrator who asks why a markup
// did not reach the PDM: its save decisions and failed viewer calls on the
// debug output, always; each refused save in the Application event log,
// unless the machine policy switches it off; and, when the machine policy
// names a log file, the session's course in that file. Nothing here ever
// changes a result or shows the user anything.
#pragma once

#include "platform/com/com.h"

#include <string>

// REG_SZ or REG_EXPAND_SZ in the agent's policy key (kPdmPolicyKey): the full
// path of the log file. Without it there is no log.
inline constexpr char kLogFileValue[] = "LogFile";
// REG_DWORD beside it: how much the log holds.
inline constexpr char kLogLevelValue[] = "LogLevel";

// REG_DWORD beside them: 0 keeps refused saves out of the Application event
// log, which has them by default.
inline constexpr char kEventLogValue[] = "EventLog";

enum class LogLevel {
    kOff = 0,
    kSessions = 1,     // sessions, their markups and saves, view lists; the default
    kViewerCalls = 2,  // also every call of the viewer and its result
};

// Reads the policy again; each session start calls it, never a line. What
// it reads holds for the whole process, sessions already open included.
void ConfigureSessionLog();

// The settings read last, for the session start line: the log level and
// whether the event log is on.
std::string SessionLogSettings();

// From now on every logged, debug output and event log text of this process
// shows sessionId only masked (MaskedSessionId), wherever it occurs.
void HideSessionId(const std::string& sessionId);

// Whether the log holds events of this level: a caller builds an event's
// text only when it does.
bool SessionLogHolds(LogLevel level);

// An event for the log alone.
void LogEvent(LogLevel level, const std::string& event);

// An event for the debug output, and for the log when there is one: save
// decisions and failed calls.
void ReportEvent(const std::string& event);

// A call of the viewer and its result: to the debug output when it failed,
// to a log that holds the viewer's calls always.
void ReportViewerCall(const char* name, HRESULT hr);

// A refused save: the message shown, why, the markup, and what more
// explains it; to the event log too, as the event numbered as the message.
void ReportRefusedSave(unsigned messageId, const std::string& markupPath, const std::string& detail = {});

// The session identifier is a credential of the web front end: only its
// first four characters and its length are shown (none of one of eight
// characters or fewer, where four would all but reveal it).
std::string MaskedSessionId(const std::string& sessionId);
