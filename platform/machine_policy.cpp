#include "platform/machine_policy.h"

#include "platform/registry_api.h"

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

}  // namespace

std::optional<std::vector<std::string>> ReadPolicyTexts(const std::string& keyPath) {
    // The 64-bit view, which administrators' tools write, also for this
    // 32-bit module on 64-bit Windows; 32-bit Windows ignores the flag.
    UniqueHkey key;
    const LSTATUS opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0,
                                         KEY_READ | KEY_WOW64_64KEY, key.put());
    if (opened == ERROR_FILE_NOT_FOUND) return std::nullopt;
    std::vector<std::string> texts;
    if (opened != ERROR_SUCCESS) return texts;

    std::vector<char> name(kMaxValueNameChars);
    std::vector<BYTE> data(kFirstDataBytes);
    for (DWORD index = 0;;) {
        DWORD nameSize = kMaxValueNameChars;
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LSTATUS status = RegEnumValueA(key.get(), index, name.data(), &nameSize, nullptr, &type, data.data(),
                                             &dataSize);
        if (status == ERROR_MORE_DATA && dataSize > data.size()) {
            data.resize(dataSize);
            continue;
        }
        if (status == ERROR_NO_MORE_ITEMS) return texts;
        // A list read only in part could leave out the one entry that allows
        // the program: nothing is allowed then.
        if (status != ERROR_SUCCESS) return std::vector<std::string>();
        if (type == REG_SZ) texts.push_back(TextOf(data, dataSize));
        ++index;
    }
}
