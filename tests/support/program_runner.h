// Starts a Windows program the way an administrator's script does and waits
// for it: msiexec, regsvr32, the viewer's host.
#pragma once

#include "platform/com/unique_resource.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

// Owns one kernel handle (a process, a thread, a file).
struct KernelHandleTraits {
    using Handle = HANDLE;
    static constexpr Handle kEmpty = nullptr;
    static void Close(Handle handle) {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

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
