#include "module/registrar.h"

#include "platform/com/result.h"

namespace {

HRESULT FromStatus(LSTATUS status) {
    if (status == ERROR_SUCCESS) return S_OK;
    return static_cast<HRESULT>((static_cast<uint32_t>(status) & 0xFFFFu) | 0x80070000u);
}

HRESULT DeleteTreeIfPresent(HKEY parent, const std::string& name) {
    const LSTATUS status = RegDeleteTreeA(parent, name.c_str());
    return status == ERROR_FILE_NOT_FOUND ? S_OK : FromStatus(status);
}

HRESULT WriteValue(HKEY key, const RegistryScriptValue& value) {
    const char* name = value.name.empty() ? nullptr : value.name.c_str();
    if (value.type == REG_DWORD) {
        const DWORD number = value.number;
        return FromStatus(
            RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number)));
    }
    return FromStatus(RegSetValueExA(key, name, 0, value.type, reinterpret_cast<const BYTE*>(value.text.c_str()),
                                     static_cast<DWORD>(value.text.size() + 1)));
}

HRESULT RegisterKey(HKEY parent, const RegistryScriptKey& key) {
    if (key.forceRemove) RETURN_IF_FAILED(DeleteTreeIfPresent(parent, key.name));
    UniqueHkey created;
    RETURN_IF_FAILED(FromStatus(RegCreateKeyExA(parent, key.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                KEY_ALL_ACCESS, nullptr, created.put(), nullptr)));
    if (key.hasDefault) RETURN_IF_FAILED(WriteValue(created.get(), key.defaultValue));
    for (const RegistryScriptValue& value : key.values) RETURN_IF_FAILED(WriteValue(created.get(), value));
    for (const RegistryScriptKey& subkey : key.subkeys) RETURN_IF_FAILED(RegisterKey(created.get(), subkey));
    return S_OK;
}

// Removes as much as it can and reports the first failure.
HRESULT UnregisterKey(HKEY parent, const RegistryScriptKey& key) {
    if (!key.noRemove) return DeleteTreeIfPresent(parent, key.name);
    UniqueHkey kept;
    const LSTATUS status = RegOpenKeyExA(parent, key.name.c_str(), 0, KEY_ALL_ACCESS, kept.put());
    if (status == ERROR_FILE_NOT_FOUND) return S_OK;
    RETURN_IF_FAILED(FromStatus(status));
    HRESULT first = S_OK;
    for (const RegistryScriptKey& subkey : key.subkeys) {
        const HRESULT hr = UnregisterKey(kept.get(), subkey);
        if (FAILED(hr) && SUCCEEDED(first)) first = hr;
    }
    return first;
}

}  // namespace

HRESULT RunRegistryScript(std::string_view script, RegistryScriptMode mode, const RegistryVariables& variables) {
    std::vector<RegistryScriptRoot> roots;
    RETURN_IF_FAILED(ParseRegistryScript(script, variables, roots));
    HRESULT first = S_OK;
    for (const RegistryScriptRoot& root : roots) {
        for (const RegistryScriptKey& key : root.keys) {
            if (mode == RegistryScriptMode::Register) {
                RETURN_IF_FAILED(RegisterKey(root.hive, key));
                continue;
            }
            const HRESULT hr = UnregisterKey(root.hive, key);
            if (FAILED(hr) && SUCCEEDED(first)) first = hr;
        }
    }
    return first;
}
