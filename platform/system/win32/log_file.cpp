#include "platform/system/log_file.h"

#include "os/kernel_handle.h"

#include <cstdio>

namespace {

// Other viewers append, read or rotate the same file meanwhile.
constexpr DWORD kShareWithOthers = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

UniqueKernelHandle OpenForAppend(const std::string& path) {
    // Reading the attributes tells the size, which decides when to rename.
    const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, kShareWithOthers, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool IsFull(HANDLE file, size_t adding) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
           static_cast<unsigned long long>(size.QuadPart) + adding > kMaxLogBytes;
}

}  // namespace

bool AppendLogLine(const std::string& path, const std::string& line) {
    UniqueKernelHandle file = OpenForAppend(path);
    if (!file) return false;
    if (IsFull(file.get(), line.size())) {
        file.reset();
        // Another viewer may have renamed it first: then this one begins
        // the new file, or appends to the one just begun.
        MoveFileExA(path.c_str(), (path + kRotatedLogSuffix).c_str(), MOVEFILE_REPLACE_EXISTING);
        file = OpenForAppend(path);
        if (!file) return false;
    }
    DWORD written = 0;
    return WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}

std::string LogLineStamp() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    char stamp[80];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ pid %lu tid %lu ", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, GetCurrentProcessId(),
                  GetCurrentThreadId());
    return stamp;
}

void WriteDebugOutput(const std::string& line) { OutputDebugStringA((line + "\n").c_str()); }
