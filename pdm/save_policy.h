// The programs a markup save may run. The launch file names the program, so
// whoever can make a user open a crafted launch file could run any program;
// a PDM administrator can pin the save programs with a machine policy.
#pragma once

#include <string>

// Its string values list the allowed programs, each written as the launch
// files name it (DMAgent's first word).
inline constexpr char kSaveCommandsPolicyKey[] = "Software\\Policies\\Tarnex\\ZelView\\ZelPDM\\SaveCommands";

// True without the policy key; with it, true only when one of its values
// names the program (PathsEqual: letter case and "/" against "\" aside).
bool IsSaveProgramAllowed(const std::string& program);
