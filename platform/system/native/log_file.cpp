#include "platform/system/log_file.h"

#include "platform/com/unique_resource.h"

#include <fcntl.h>
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

bool IsFull(int fd, size_t adding) {
    struct stat status {};
    return fstat(fd, &status) == 0 && status.st_size > 0 &&
           static_cast<unsigned long long>(status.st_size) + adding > kMaxLogBytes;
}

bool WriteWhole(int fd, const std::string& line) {
    return write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

}  // namespace

bool AppendLogLine(const std::string& path, const std::string& line) {
    UniqueFd file = OpenForAppend(path);
    if (!file) return false;
    if (IsFull(file.get(), line.size())) {
        file.reset();
        std::rename(path.c_str(), (path + kRotatedLogSuffix).c_str());
        file = OpenForAppend(path);
        if (!file) return false;
    }
    return WriteWhole(file.get(), line);
}

std::string LogLineStamp() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm utc{};
    gmtime_r(&now.tv_sec, &utc);
    char stamp[96];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%03ldZ pid %ld tid %ld ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, now.tv_nsec / 1000000L,
                  static_cast<long>(getpid()), static_cast<long>(syscall(SYS_gettid)));
    return stamp;
}

void WriteDebugOutput(const std::string& line) {
    const char* path = std::getenv(kDebugOutputVariable);
    if (!path || !*path) return;
    if (UniqueFd file = OpenForAppend(path)) WriteWhole(file.get(), line + "\n");
}
