#include "platform/system/log_file.h"

#include "platform/com/unique_resource.h"
#include "platform/system/native/file_lines.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

struct FileDescriptorTraits {
    using Handle = int;
    static constexpr Handle kEmpty = -1;
    static void Close(Handle handle) { close(handle); }
};
using UniqueFd = UniqueResource<FileDescriptorTraits>;

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask
// The stand-in for the system's debug output: there is none natively, so the
// lines go to the file this variable names, where tests and zelview-sim read
// them; without it they go nowhere.
constexpr char kDebugOutputVariable[] = "ZEL_DEBUG_OUTPUT_FILE";

UniqueFd OpenForAppend(const std::string& path) {
    return UniqueFd(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kNewFileMode));
}

bool WriteWhole(int fd, const std::string& line) {
    return write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether path still names the open file fd.
bool IsNamedBy(int fd, const std::string& path, struct stat& open) {
    struct stat named {};
    return fstat(fd, &open) == 0 && stat(path.c_str(), &named) == 0 && SameFile(open, named);
}

thread_local const unsigned long t_threadId = static_cast<unsigned long>(syscall(SYS_gettid));

}  // namespace

struct LogFile::Open {
    std::string path;
    UniqueFd fd;
};

unsigned long long SystemLogClock() {
    // Read without entering the kernel, to a few milliseconds.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<unsigned long long>(now.tv_sec) * 1000ULL +
           static_cast<unsigned long long>(now.tv_nsec) / 1000000ULL;
}

LogFile::LogFile(LogClock clock) : m_clock(clock) {}
LogFile::~LogFile() = default;

void LogFile::Close() { m_open.reset(); }

bool LogFile::IsOpenAt(const std::string& path) const { return m_open && m_open->fd && m_open->path == path; }

bool LogFile::OpenAt(const std::string& path) {
    if (!m_open || m_open->path != path) m_open = std::make_unique<Open>(Open{path, UniqueFd()});
    m_open->fd = OpenForAppend(path);
    return static_cast<bool>(m_open->fd);
}

bool LogFile::IsAtPath() {
    struct stat open {};
    if (!IsNamedBy(m_open->fd.get(), m_open->path, open)) return false;
    Measured(static_cast<unsigned long long>(open.st_size));
    return true;
}

void LogFile::Measure() {
    struct stat open {};
    if (fstat(m_open->fd.get(), &open) == 0) Measured(static_cast<unsigned long long>(open.st_size));
}

// Under the measured file's lock, renamed only while the path still names
// it: a process that measured the same file waits, then finds the path
// naming the new file and leaves it.
void LogFile::RotateMeasured() {
    const int fd = m_open->fd.get();
    const std::string& path = m_open->path;
    if (flock(fd, LOCK_EX) != 0) return;
    struct stat open {};
    if (IsNamedBy(fd, path, open)) std::rename(path.c_str(), (path + kRotatedLogSuffix).c_str());
    flock(fd, LOCK_UN);
}

bool LogFile::Write(const std::string& line) { return WriteWhole(m_open->fd.get(), line); }

bool AppendTextLine(const std::string& path, const std::string& text) {
    const UniqueFd file = OpenForAppend(path);
    return file && WriteWhole(file.get(), text);
}

void AppendLogLineStamp(std::string& line) {
    static const unsigned long processId = static_cast<unsigned long>(getpid());
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long long millis = static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000L;
    AppendFormattedLogLineStamp(line, millis, processId, t_threadId);
}

void WriteDebugOutput(const std::string& line) {
    const char* path = std::getenv(kDebugOutputVariable);
    if (path && *path) AppendTextLine(path, line + "\n");
}
