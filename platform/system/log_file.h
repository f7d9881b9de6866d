// The agent's log file and debug output: lines an administrator or a support
// engineer reads to find out what a session did. Neither ever fails a caller:
// a line that cannot be written is lost.
#pragma once

#include <cstddef>
#include <string>

// A log grows to this size, then it is renamed with kRotatedLogSuffix
// (replacing the one renamed before) and a new one begun.
inline constexpr size_t kMaxLogBytes = 1024 * 1024;
inline constexpr char kRotatedLogSuffix[] = ".1";

// Appends line (its end included) to the file at path with one write in
// append mode, so that several processes may share the file without mixing
// their lines. False when it was not written.
bool AppendLogLine(const std::string& path, const std::string& line);

// What begins every log line: the time (UTC, to the millisecond), the
// process id and the thread id.
std::string LogLineStamp();

// One line (without its end) to the system's debug output.
void WriteDebugOutput(const std::string& line);
