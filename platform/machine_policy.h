// Machine policies: keys under HKEY_LOCAL_MACHINE that only administrators
// can write. Their path is fixed; no environment variable moves them.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The string values (REG_SZ) of the policy key at keyPath below
// HKEY_LOCAL_MACHINE: nothing when the key does not exist,
// else the texts of its string values in the registry's order. Values of
// other types are not texts of the list. A key that exists but cannot be read
// gives an empty list, so that a policy never falls open by failing.
std::optional<std::vector<std::string>> ReadPolicyTexts(const std::string& keyPath);
