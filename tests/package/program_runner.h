// Starts a Windows program the way an administrator's script does and waits
// for it: msiexec, regsvr32, the viewer's host.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>

// Owns one kernel handle.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return m_handle; }
    void reset() {
        HANDLE handle = std::exchange(m_handle, nullptr);
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }

private:
    HANDLE m_handle = nullptr;
};

// The program's exit code; nullopt when it could not start. With an output
// file, the program's standard output and error go there.
std::optional<DWORD> RunProgram(const std::string& commandLine, const std::string& outputFile = {});

// What a program showed in its message box: the box's text, pressed OK.
struct ShownMessage {
    std::optional<DWORD> exitCode;
    bool shown = false;
    std::string text;
};

// Runs the program and presses OK on the first message box it shows; a
// program that shows none within the wait and still runs is ended.
ShownMessage RunProgramPressingOk(const std::string& commandLine, std::chrono::milliseconds wait);
