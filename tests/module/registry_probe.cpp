#include "tests/module/registry_probe.h"

#include <gtest/gtest.h>

#include <vector>

#ifndef _WIN32
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#endif

bool KeyExists(HKEY hive, const std::string& path) {
    UniqueHkey key;
    return RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::optional<std::string> ReadString(HKEY hive, const std::string& path, const char* valueName, DWORD wantedType) {
    UniqueHkey key;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != wantedType) return std::nullopt;
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::string(data.data());
}

std::optional<DWORD> ReadDword(HKEY hive, const std::string& path, const char* valueName) {
    UniqueHkey key;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

bool CreateKey(HKEY hive, const std::string& path) {
    UniqueHkey key;
    return RegCreateKeyExA(hive, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           key.put(), nullptr) == ERROR_SUCCESS;
}

void DeleteTree(HKEY hive, const std::string& path) { RegDeleteTreeA(hive, path.c_str()); }

void UseFreshRegistryForThisTest() {
#ifndef _WIN32
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    const std::string file = testing::TempDir() + "zel_module_registry_" + std::to_string(getpid()) + "_" +
                             info->test_suite_name() + "_" + info->name();
    std::remove(file.c_str());
    setenv("NUV_REGISTRY_FILE", file.c_str(), 1);
#endif
}
