// The agent's log file and debug output: lines an administrator or a support
// engineer reads to find out what a session did. Neither ever fails a caller:
// a line that cannot be written is lost.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

// A log grows to this size, then it is renamed with kRotatedLogSuffix
// (replacing the one renamed before) and a new one begun.
inline constexpr size_t kMaxLogBytes = 1024 * 1024;
inline constexpr char kRotatedLogSuffix[] = ".1";

// The log file of a process, kept open from line to line. Several processes
// may share the file: each line goes with one write in append mode, so lines
// never mix; a file that another process renamed or moved is left and the
// one at the path opened again; and only the file this one measured full is
// ever renamed, so that two processes rotating at once never replace the
// rotated file with the one just begun. Not safe for concurrent calls: its
// owner serialises them.
class LogFile {
public:
    LogFile();
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Appends line (its end included) to the file at path, opening it when
    // it is not the one open. False when it was not written.
    bool Append(const std::string& path, const std::string& line);
    void Close();

private:
    struct Open;  // the platform's handle and the path it was opened at
    std::unique_ptr<Open> m_open;
};

// Appends what begins every log line: the time (UTC, to the millisecond),
// the process id and the thread id, and a blank.
void AppendLogLineStamp(std::string& line);

// The stamp from its parts, written digit by digit: a log line costs no
// formatting call and no allocation of its own. unixMillis: milliseconds
// since 1970-01-01 UTC.
void AppendFormattedLogLineStamp(std::string& line, long long unixMillis, unsigned long processId,
                                 unsigned long threadId);

// One line (without its end) to the system's debug output.
void WriteDebugOutput(const std::string& line);
