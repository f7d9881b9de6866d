#include "viewer/host/settings_probe.h"

#include "platform/system/registry.h"
#include "platform/system/registry_api.h"

namespace host {
namespace {
constexpr char kPdmSubKey[] = "\\ZelPDM";
constexpr char kValueName[] = "PreserveExtensions";
}  // namespace

std::string PreserveExtensionsKey() { return SettingsRoot() + kPdmSubKey; }

std::optional<DWORD> ReadPreserveExtensions() {
    UniqueHkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PreserveExtensionsKey().c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key.get(), kValueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

}  // namespace host
