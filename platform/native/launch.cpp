// The native stand-in for "cmd /C start": the command's first word runs as a
// program with the other words as its arguments, detached from us, with no
// shell in between.
#include "platform/launch.h"

#include "platform/native/command_words.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char kNullDevice[] = "/dev/null";
constexpr int kExecFailedStatus = 127;

void ReportErrno(int fd) {
    const int error = errno;
    [[maybe_unused]] const ssize_t ignored = write(fd, &error, sizeof error);
}

// Between fork and exec only async-signal-safe calls: everything is prepared
// before the first fork.
[[noreturn]] void RunDetached(char* const* argv, int nullFd, int reportFd) {
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
    execvp(argv[0], argv);
    ReportErrno(reportFd);
    _exit(kExecFailedStatus);
}

}  // namespace

int LaunchCommand(const std::string& command) {
    if (const TextHook hook = CurrentLaunchHook()) return hook(command);
    std::vector<std::string> words = SplitCommandWords(command);
    if (words.empty() || words.front().empty()) return -1;
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    // The report pipe closes on a successful exec; a failed one writes errno.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return -1;
    const int nullFd = open(kNullDevice, O_RDWR | O_CLOEXEC);
    const pid_t child = fork();
    if (child == 0) RunDetached(argv.data(), nullFd, report[1]);
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
