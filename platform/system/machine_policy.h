// Machine policies: keys under HKEY_LOCAL_MACHINE that only administrators
// can write. Their path is fixed; no environment variable moves them.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The string values of the policy key at keyPath below HKEY_LOCAL_MACHINE:
// nothing when the key does not exist, else the texts of its REG_SZ values
// and its REG_EXPAND_SZ values, expanded, in the registry's order. They are
// read as Unicode; a value with a character that has no exact form in the
// ANSI code page is left out, as one that cannot be expanded is. Values of
// other types are not texts of the list. A key that exists but cannot be read
// gives an empty list, so that a policy never falls open by failing.
// unreadable, when given, says whether the key exists but could not be read
// whole (the list then is empty).
std::optional<std::vector<std::string>> ReadPolicyTexts(const std::string& keyPath, bool* unreadable = nullptr);

// A policy that an administrator switches on or off with a REG_DWORD value.
enum class PolicySwitch {
    kNotSet,  // neither the key nor the value exists
    kOff,     // the value is 0
    kOn,      // any other number; also a value of another type or one that
              // cannot be read, so that a policy never falls open by failing
};
// unreadable, when given, says whether kOn stands for a key or value that
// exists but could not be read.
PolicySwitch ReadPolicySwitch(const std::string& keyPath, const std::string& valueName, bool* unreadable = nullptr);

// One text value of the policy key: a REG_SZ value as it stands, a
// REG_EXPAND_SZ value expanded. Nothing when the key or the value is missing,
// cannot be read or expanded, or is of another type.
std::optional<std::string> ReadPolicyText(const std::string& keyPath, const std::string& valueName);

// One REG_DWORD value of the policy key; nothing when it is missing, cannot
// be read or is of another type.
std::optional<unsigned long> ReadPolicyNumber(const std::string& keyPath, const std::string& valueName);
