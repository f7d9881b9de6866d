// The settings the agent shares with the viewer through the registry.
#pragma once

#include "platform/com/com.h"

#include <string>

inline constexpr char kDefaultSettingsRoot[] = "Software\\Tarnex\\ZelView\\4.1\\";
inline constexpr char kRegRootVariable[] = "NUV_REG_ROOT";
inline constexpr char kPreserveExtensionsPath[] = "\\ZelPDM\\PreserveExtensions";

// NUV_REG_ROOT when set and not empty, else the default root.
std::string SettingsRoot();

// Writes one value below the settings root; errors are not reported.
void WriteRegistryValue(HKEY hive, const std::string& valuePath, DWORD type, const void* data, DWORD size,
                        bool cut);
