// Reads and plants registry content for the tests. Natively each test gets a
// store file of its own, so tests never see each other's keys.
#pragma once

#include "platform/system/registry_api.h"

#include <optional>
#include <string>

bool KeyExists(HKEY hive, const std::string& path);
// Nothing also when the value is not of the type wanted.
std::optional<std::string> ReadString(HKEY hive, const std::string& path, const char* valueName = nullptr,
                                      DWORD wantedType = REG_SZ);
std::optional<DWORD> ReadDword(HKEY hive, const std::string& path, const char* valueName);
bool CreateKey(HKEY hive, const std::string& path);
void DeleteTree(HKEY hive, const std::string& path);

// Points the native store at a fresh file for the current test; does nothing
// on Windows, where the test prefix's registry is used.
void UseFreshRegistryForThisTest();
