#include "platform/system/launch.h"

#include "platform/text/codepage.h"
#include "platform/com/com.h"
#include "platform/com/unique_resource.h"

#include <cwchar>
#include <cwctype>
#include <iterator>
#include <process.h>
#include <vector>

namespace {
constexpr wchar_t kInterpreter[] = L"\\cmd.exe";
// The interpreter ignores the name in the program's place.
constexpr wchar_t kProgramNamePlaceholder[] = L"chaff";
constexpr wchar_t kRunCommandSwitch[] = L"/C";
constexpr wchar_t kStartVerb[] = L"start";
// Windows' own switch: while it is in the environment, a bare program name
// is looked for on the path only, never in the current folder, which may be
// a download folder holding a program of that name.
constexpr wchar_t kNoCurrentFolderSearch[] = L"NoDefaultCurrentDirectoryInExePath";
constexpr wchar_t kSwitchSet[] = L"=1";
constexpr char kBlanks[] = " \t";

struct EnvironmentBlockTraits {
    using Handle = wchar_t*;
    static constexpr Handle kEmpty = nullptr;
    static void Close(Handle block) { FreeEnvironmentStringsW(block); }
};
using UniqueEnvironmentBlock = UniqueResource<EnvironmentBlockTraits>;

bool IsSwitchEntry(const std::wstring& entry) {
    const size_t nameLength = std::char_traits<wchar_t>::length(kNoCurrentFolderSearch);
    if (entry.size() <= nameLength || entry[nameLength] != L'=') return false;
    for (size_t i = 0; i < nameLength; ++i)
        if (std::towlower(entry[i]) != std::towlower(kNoCurrentFolderSearch[i])) return false;
    return true;
}

// The viewer's environment as it is now, in wide text so that no value is
// bent to the ANSI code page, with the switch set.
std::vector<std::wstring> InterpreterEnvironment() {
    std::vector<std::wstring> entries;
    const UniqueEnvironmentBlock block(GetEnvironmentStringsW());
    for (const wchar_t* entry = block.get(); entry && *entry; entry += std::wcslen(entry) + 1)
        if (!IsSwitchEntry(entry)) entries.emplace_back(entry);
    entries.push_back(std::wstring(kNoCurrentFolderSearch) + kSwitchSet);
    return entries;
}

}  // namespace

int StartCommand(const std::string& command) {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    // Zero is a failure; a length of the buffer or more is the size needed.
    if (length == 0 || length + std::size(kInterpreter) > MAX_PATH) return -1;
    std::wcscpy(path + length, kInterpreter);

    const size_t first = command.find_first_not_of(kBlanks);
    const bool quotedProgram = first != std::string::npos && command[first] == '"';
    const WideString line = AnsiToWide((quotedProgram ? kEmptyWindowTitle : "") + command);
    // An empty line would have start open an interpreter window instead.
    if (line.empty()) return -1;
    const std::vector<std::wstring> environment = InterpreterEnvironment();
    std::vector<const wchar_t*> environmentPointers;
    for (const std::wstring& entry : environment) environmentPointers.push_back(entry.c_str());
    environmentPointers.push_back(nullptr);
    // The runtime joins the arguments with single blanks and passes a wide
    // environment on as such.
    const wchar_t* const arguments[] = {kProgramNamePlaceholder, kRunCommandSwitch, kStartVerb,
                                        line.c_str(), nullptr};
    const intptr_t started = _wspawnve(_P_DETACH, path, arguments, environmentPointers.data());
    return started == -1 ? -1 : 0;
}
