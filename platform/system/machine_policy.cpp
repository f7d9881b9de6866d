#include "platform/system/machine_policy.h"

#include "platform/system/environment.h"
#include "platform/system/registry_api.h"
#include "platform/text/codepage.h"

#include <algorithm>

namespace {

// The registry's limit on a value name, terminator included.
constexpr DWORD kMaxValueNameChars = 16384;
constexpr DWORD kFirstDataBytes = 1024;

// A string value may or may not keep its terminator in the data.
std::string TextOf(const std::vector<BYTE>& data, DWORD size) {
    std::string text(data.begin(), data.begin() + size);
    const size_t end = text.find('\0');
    return end == std::string::npos ? text : text.substr(0, end);
}

// A list entry read as Unicode, in the ANSI code page the agent compares in:
// nothing for one with a character that has no exact form there (the ANSI
// calls would bend it to a look-alike, and the entry would name another
// path), nor for one whose variables cannot be expanded.
std::optional<std::string> EntryOf(const std::vector<BYTE>& data, DWORD size, DWORD type) {
    WideString text(size / sizeof(WCHAR), 0);
    std::copy(data.begin(), data.begin() + text.size() * sizeof(WCHAR), reinterpret_cast<BYTE*>(text.data()));
    text.resize(std::find(text.begin(), text.end(), WCHAR(0)) - text.begin());
    std::optional<std::string> entry = WideToAnsiExact(text);
    if (!entry || type == REG_SZ) return entry;
    return ExpandEnvironmentText(*entry);
}

// The 64-bit view, which administrators' tools write, also for this 32-bit
// module on 64-bit Windows; 32-bit Windows ignores the flag.
LSTATUS OpenPolicyKey(const std::string& keyPath, UniqueHkey& key) {
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put());
}

}  // namespace

std::optional<std::vector<std::string>> ReadPolicyTexts(const std::string& keyPath, bool* unreadable) {
    bool ignored = false;
    bool& failed = unreadable ? *unreadable : ignored;
    failed = false;
    UniqueHkey key;
    const LSTATUS opened = OpenPolicyKey(keyPath, key);
    if (opened == ERROR_FILE_NOT_FOUND) return std::nullopt;
    std::vector<std::string> texts;
    failed = opened != ERROR_SUCCESS;
    if (failed) return texts;

    std::vector<WCHAR> name(kMaxValueNameChars);
    std::vector<BYTE> data(kFirstDataBytes);
    for (DWORD index = 0;;) {
        DWORD nameSize = kMaxValueNameChars;
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LSTATUS status = RegEnumValueW(key.get(), index, name.data(), &nameSize, nullptr, &type, data.data(),
                                             &dataSize);
        if (status == ERROR_MORE_DATA && dataSize > data.size()) {
            data.resize(dataSize);
            continue;
        }
        if (status == ERROR_NO_MORE_ITEMS) return texts;
        // A list read only in part could leave out the one entry that allows
        // the program: nothing is allowed then.
        if (status != ERROR_SUCCESS) {
            failed = true;
            return std::vector<std::string>();
        }
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            if (std::optional<std::string> entry = EntryOf(data, dataSize, type)) texts.push_back(std::move(*entry));
        ++index;
    }
}

PolicySwitch ReadPolicySwitch(const std::string& keyPath, const std::string& valueName, bool* unreadable) {
    bool ignored = false;
    bool& failed = unreadable ? *unreadable : ignored;
    failed = false;
    UniqueHkey key;
    const LSTATUS opened = OpenPolicyKey(keyPath, key);
    if (opened == ERROR_FILE_NOT_FOUND) return PolicySwitch::kNotSet;
    failed = opened != ERROR_SUCCESS;
    if (failed) return PolicySwitch::kOn;
    DWORD type = 0;
    DWORD number = 0;
    DWORD size = sizeof number;
    const LSTATUS read =
        RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
    if (read == ERROR_FILE_NOT_FOUND) return PolicySwitch::kNotSet;
    failed = read != ERROR_SUCCESS || type != REG_DWORD || size != sizeof number;
    const bool isOff = !failed && number == 0;
    return isOff ? PolicySwitch::kOff : PolicySwitch::kOn;
}

std::optional<std::string> ReadPolicyText(const std::string& keyPath, const std::string& valueName) {
    UniqueHkey key;
    if (OpenPolicyKey(keyPath, key) != ERROR_SUCCESS) return std::nullopt;
    std::vector<BYTE> data(kFirstDataBytes);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    LSTATUS read = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, data.data(), &size);
    if (read == ERROR_MORE_DATA) {
        data.resize(size);
        read = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, data.data(), &size);
    }
    if (read != ERROR_SUCCESS || size > data.size()) return std::nullopt;
    if (type == REG_SZ) return TextOf(data, size);
    if (type == REG_EXPAND_SZ) return ExpandEnvironmentText(TextOf(data, size));
    return std::nullopt;
}

std::optional<unsigned long> ReadPolicyNumber(const std::string& keyPath, const std::string& valueName) {
    UniqueHkey key;
    if (OpenPolicyKey(keyPath, key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    DWORD number = 0;
    DWORD size = sizeof number;
    const LSTATUS read =
        RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
    if (read != ERROR_SUCCESS || type != REG_DWORD || size != sizeof number) return std::nullopt;
    return number;
}
