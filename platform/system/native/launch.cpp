// The native stand-in for "cmd /C start": the command's first word runs as a
// program with the other words as its arguments, detached from us, with no
// shell in between. A bare program name is looked for in the folders of PATH
// that are full paths, never in the current folder.
#include "platform/system/launch.h"

#include "platform/system/native/command_words.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char kNullDevice[] = "/dev/null";
constexpr int kExecFailedStatus = 127;
constexpr char kPathVariable[] = "PATH";
constexpr char kPathListSeparator = ':';
constexpr char kFolderSeparator = '/';

bool IsRunnableFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The file a program name stands for: a name with a folder as it stands; a
// bare name from the first folder of PATH (else the system's default path)
// that holds it, skipping empty and relative entries, which would name the
// current folder. Empty when there is none.
std::string ProgramFile(const std::string& name) {
    if (name.find(kFolderSeparator) != std::string::npos) return name;
    std::string folders;
    if (const char* path = std::getenv(kPathVariable)) {
        folders = path;
    } else {
        folders.resize(confstr(_CS_PATH, nullptr, 0));
        if (!folders.empty()) folders.resize(confstr(_CS_PATH, folders.data(), folders.size()) - 1);
    }
    for (size_t begin = 0; begin <= folders.size();) {
        const size_t end = std::min(folders.find(kPathListSeparator, begin), folders.size());
        const std::string folder = folders.substr(begin, end - begin);
        begin = end + 1;
        if (folder.empty() || folder.front() != kFolderSeparator) continue;
        const std::string candidate = folder + kFolderSeparator + name;
        if (IsRunnableFile(candidate)) return candidate;
    }
    return {};
}

void ReportErrno(int fd) {
    const int error = errno;
    [[maybe_unused]] const ssize_t ignored = write(fd, &error, sizeof error);
}

// Between fork and exec only async-signal-safe calls: everything is prepared
// before the first fork.
[[noreturn]] void RunDetached(const char* file, char* const* argv, int nullFd, int reportFd) {
    setsid();
    const pid_t grandchild = fork();
    if (grandchild < 0) {
        ReportErrno(reportFd);
        _exit(1);
    }
    if (grandchild > 0) _exit(0);
    if (nullFd >= 0) {
        dup2(nullFd, STDIN_FILENO);
        dup2(nullFd, STDOUT_FILENO);
        dup2(nullFd, STDERR_FILENO);
    }
    execv(file, argv);
    ReportErrno(reportFd);
    _exit(kExecFailedStatus);
}

}  // namespace

int StartCommand(const std::string& command) {
    std::vector<std::string> words = SplitCommandWords(command);
    if (words.empty() || words.front().empty()) return -1;
    const std::string file = ProgramFile(words.front());
    if (file.empty()) return -1;
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    // The report pipe closes on a successful exec; a failed one writes errno.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return -1;
    const int nullFd = open(kNullDevice, O_RDWR | O_CLOEXEC);
    const pid_t child = fork();
    if (child == 0) RunDetached(file.c_str(), argv.data(), nullFd, report[1]);
    close(report[1]);
    if (nullFd >= 0) close(nullFd);
    if (child < 0) {
        close(report[0]);
        return -1;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    return got == 0 ? 0 : -1;
}
