#include "tests/support/program_runner.h"

#include <thread>

namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr std::chrono::milliseconds kPollInterval(100);

struct Started {
    UniqueHandle process;
    UniqueHandle thread;
    DWORD processId = 0;
};

std::optional<Started> Start(const std::string& commandLine, HANDLE output) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    std::string line = commandLine;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, output != nullptr, 0, nullptr, nullptr, &startup,
                        &process))
        return std::nullopt;
    Started started;
    started.process = UniqueHandle(process.hProcess);
    started.thread = UniqueHandle(process.hThread);
    started.processId = process.dwProcessId;
    return started;
}

DWORD ExitCode(HANDLE process) {
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->processId || !IsWindowVisible(window) || !GetDlgItem(window, kMessageTextId)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

std::optional<DWORD> RunProgram(const std::string& commandLine, const std::string& outputFile) {
    UniqueHandle output;
    if (!outputFile.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        output = UniqueHandle(CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (output.get() == INVALID_HANDLE_VALUE) return std::nullopt;
    }
    auto started = Start(commandLine, output.get());
    if (!started) return std::nullopt;
    WaitForSingleObject(started->process.get(), INFINITE);
    return ExitCode(started->process.get());
}

ShownMessage RunProgramPressingOk(const std::string& commandLine, std::chrono::milliseconds wait) {
    ShownMessage result;
    auto started = Start(commandLine, nullptr);
    if (!started) return result;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (WaitForSingleObject(started->process.get(), 0) == WAIT_TIMEOUT) {
        BoxSearch search{started->processId, nullptr};
        EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
        if (search.found && !result.shown) {
            char text[1024] = {};
            GetWindowTextA(GetDlgItem(search.found, kMessageTextId), text, sizeof text);
            result.shown = true;
            result.text = text;
            PostMessageA(search.found, WM_COMMAND, IDOK, 0);
        }
        if (!result.shown && std::chrono::steady_clock::now() > deadline) {
            TerminateProcess(started->process.get(), ERROR_TIMEOUT);
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    WaitForSingleObject(started->process.get(), INFINITE);
    result.exitCode = ExitCode(started->process.get());
    return result;
}
