#include "platform/system/log_file.h"

#include "platform/system/win32/kernel_handle.h"
#include "platform/text/codepage.h"

#include <algorithm>
#include <vector>

namespace {

// Other viewers append, read or rotate the same file meanwhile.
constexpr DWORD kShareWithOthers = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// FILETIME counts 100 ns steps since 1601; the log's time counts from 1970.
constexpr unsigned long long kFileTimeUnitsPerMilli = 10000ULL;
constexpr unsigned long long kMillisFrom1601To1970 = 11644473600000ULL;

UniqueKernelHandle OpenForAppend(const std::string& path) {
    // Reading the attributes tells the size, which decides when to rename.
    const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, kShareWithOthers, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool EndsWithIgnoringCase(const WideString& text, const WCHAR* tail, size_t tailLength) {
    if (tailLength == 0 || tailLength > text.size()) return false;
    const WCHAR* start = text.c_str() + (text.size() - tailLength);
    return CompareStringOrdinal(start, static_cast<int>(tailLength), tail, static_cast<int>(tailLength), TRUE) ==
           CSTR_EQUAL;
}

// Whether the open file is still the one at the path: the handle follows a
// file that another viewer renamed. A name the system cannot tell counts
// as still there, the cheap guess: a rename through the handle then moves
// only this file.
bool IsNamedBy(HANDLE file, const WideString& path) {
    std::vector<BYTE> buffer(sizeof(FILE_NAME_INFO) + MAX_PATH * 2 * sizeof(WCHAR));
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!GetFileInformationByHandleEx(file, FileNameInfo, info, static_cast<DWORD>(buffer.size()))) return true;
    return EndsWithIgnoringCase(path, info->FileName, info->FileNameLength / sizeof(WCHAR));
}

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace

struct LogFile::Open {
    std::string path;
    WideString widePath;
    UniqueKernelHandle file;
};

unsigned long long SystemLogClock() { return GetTickCount64(); }

LogFile::LogFile(LogClock clock) : m_clock(clock) {}
LogFile::~LogFile() = default;

void LogFile::Close() { m_open.reset(); }

bool LogFile::IsOpenAt(const std::string& path) const { return m_open && m_open->file && m_open->path == path; }

bool LogFile::OpenAt(const std::string& path) {
    if (!m_open || m_open->path != path) {
        // The system names the open file with backslashes.
        WideString widePath = AnsiToWide(path);
        std::replace(widePath.begin(), widePath.end(), L'/', L'\\');
        m_open = std::make_unique<Open>(Open{path, std::move(widePath), {}});
    }
    m_open->file = OpenForAppend(path);
    return static_cast<bool>(m_open->file);
}

bool LogFile::IsAtPath() {
    if (!IsNamedBy(m_open->file.get(), m_open->widePath)) return false;
    Measure();
    return true;
}

void LogFile::Measure() {
    LARGE_INTEGER size{};
    if (GetFileSizeEx(m_open->file.get(), &size)) Measured(static_cast<unsigned long long>(size.QuadPart));
}

// Renames the file that was measured, through a handle to that very file: a
// file another viewer has just begun at the path is never the one renamed.
void LogFile::RotateMeasured() {
    const HANDLE file = m_open->file.get();
    const WideString rotatedPath = AnsiToWide(m_open->path + kRotatedLogSuffix);
    const HANDLE reopened = ReOpenFile(file, DELETE, kShareWithOthers, 0);
    const UniqueKernelHandle renaming(reopened == INVALID_HANDLE_VALUE ? nullptr : reopened);
    // Some implementations open the name again rather than the file: only
    // the very file measured is renamed.
    if (!renaming || !SameFile(file, renaming.get())) return;
    const size_t nameBytes = rotatedPath.size() * sizeof(WCHAR);
    std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(rotatedPath.begin(), rotatedPath.end(), info->FileName);
    SetFileInformationByHandle(renaming.get(), FileRenameInfo, info, static_cast<DWORD>(buffer.size()));
}

bool LogFile::Write(const std::string& line) {
    DWORD written = 0;
    return WriteFile(m_open->file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}

void AppendLogLineStamp(std::string& line) {
    static const unsigned long processId = GetCurrentProcessId();
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const unsigned long long units = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const long long millis = static_cast<long long>(units / kFileTimeUnitsPerMilli - kMillisFrom1601To1970);
    AppendFormattedLogLineStamp(line, millis, processId, GetCurrentThreadId());
}

void WriteDebugOutput(const std::string& line) { OutputDebugStringA((line + "\n").c_str()); }
