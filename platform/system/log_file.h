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

// Milliseconds on a clock that never goes back, from any start.
using LogClock = unsigned long long (*)();
// The system's: a cheap, coarse clock (a few milliseconds are plenty).
unsigned long long SystemLogClock();

// How often a log file kept open is compared with the file at its path: a
// file renamed, moved or deleted by someone else is left within this time.
inline constexpr unsigned long long kLogPathCheckMillis = 1000;

// The log file of a process, kept open from line to line. Several processes
// may share the file: each line goes with one write in append mode, so lines
// never mix; a file that another process renamed, moved or deleted is left
// and the one at the path opened again, within kLogPathCheckMillis; and only
// the file this one measured full is ever renamed, so that two processes
// rotating at once never replace the rotated file with the one just begun.
// Between two looks at the path the size is not asked of the system for
// every line: it is the size read at the last look plus this process's own
// lines, so that one writer keeps the limit to within a line, and several
// overshoot it by at most what the others wrote since that look. Not safe
// for concurrent calls: its owner serialises them.
class LogFile {
public:
    // clock: tests say what time it is.
    explicit LogFile(LogClock clock = SystemLogClock);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Appends line (its end included) to the file at path, opening it when
    // it is not the one open. False when it was not written.
    bool Append(const std::string& path, const std::string& line);
    void Close();

private:
    struct Open;  // the platform's handle and the path it was opened at

    // The platform's part. Whether a file opened at path is open.
    bool IsOpenAt(const std::string& path) const;
    // Opens the file at path, closing the one open.
    bool OpenAt(const std::string& path);
    // Whether the path still names the open file; measures it when it does.
    bool IsAtPath();
    void Measure();
    // Renames the open file with kRotatedLogSuffix, if the path still names
    // it: a file another process has just begun at the path is left alone.
    void RotateMeasured();
    bool Write(const std::string& line);

    // Whether the time has come to compare the open file with the file at
    // the path again; when it has, the next interval begins.
    bool PathCheckDue();
    // Opens the file at path (again) and measures it.
    bool Reopen(const std::string& path);
    // The size the system gave for the open file.
    void Measured(unsigned long long size) { m_size = size; }
    void Wrote(size_t bytes) { m_size += bytes; }
    // Whether adding would take the file over the limit by the size known,
    // which leaves out what other processes wrote since the last look.
    bool WouldOverfill(size_t adding) const;

    LogClock m_clock;
    unsigned long long m_nextPathCheck = 0;
    unsigned long long m_size = 0;
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
