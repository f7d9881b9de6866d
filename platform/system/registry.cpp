#include "platform/system/registry.h"

#include "platform/system/registry_api.h"

#include <cstdlib>

namespace {
constexpr char kKeySeparator = '\\';
}

std::string SettingsRoot() {
    const char* root = std::getenv(kRegRootVariable);
    return root && *root ? std::string(root) : std::string(kDefaultSettingsRoot);
}

void WriteRegistryValue(HKEY hive, const std::string& valuePath, DWORD type, const void* data, DWORD size,
                        bool cut) {
    // The registry would take a null buffer with a size as a fault; nothing is
    // written then, as for any other failed write.
    if (!data && size != 0) return;
    std::string path = SettingsRoot();
    if (cut) {
        const size_t last = path.rfind(kKeySeparator);
        path = last == std::string::npos ? std::string() : path.substr(0, last);
    }
    // With the default root this holds a doubled backslash, which the
    // registry reads as a single one.
    path += valuePath;
    const size_t split = path.rfind(kKeySeparator);
    if (split == std::string::npos) return;  // no key to put the value in
    const std::string keyPath = path.substr(0, split);
    const std::string valueName = path.substr(split + 1);

    UniqueHkey key;
    if (RegCreateKeyExA(hive, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key.get(), valueName.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}
