// What a session leaves behind for an administrator who asks why a markup
// did not reach the PDM: its save decisions and failed viewer calls on the
// debug output, always; and, when the machine policy names a log file, the
// session's course in that file. Nothing here ever changes a result or shows
// the user anything.
#pragma once

#include "platform/com/com.h"

#include <string>

// REG_SZ or REG_EXPAND_SZ in the agent's policy key (kPdmPolicyKey): the full
// path of the log file. Without it there is no log.
inline constexpr char kLogFileValue[] = "LogFile";
// REG_DWORD beside it: how much the log holds.
inline constexpr char kLogLevelValue[] = "LogLevel";

enum class LogLevel {
    kOff = 0,
    kSessions = 1,     // sessions, their markups and saves, view lists; the default
    kViewerCalls = 2,  // also every call of the viewer and its result
};

// Reads the policy again; each session start calls it, never a line.
void ConfigureSessionLog();

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
// explains it.
void ReportRefusedSave(unsigned messageId, const std::string& markupPath, const std::string& detail = {});

// The session identifier is a credential of the web front end: only its
// first four characters and its length are shown (none of a short one).
std::string MaskedSessionId(const std::string& sessionId);
