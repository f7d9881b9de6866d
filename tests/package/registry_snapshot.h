// A registry tree held in memory: what an installer wrote, compared value by
// value, and written back to leave the test prefix as it was found.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Each value as "key path\[value name]" -> "type: data", key paths relative
// to the hive and in lower case (the registry ignores case), "@" for a key's
// default value and "(key)" for a key without values.
using RegistryValues = std::map<std::string, std::string>;
// Texts replaced in string data before comparing: the module's path and its
// folder differ between two installs and nothing else may.
using StandIns = std::vector<std::pair<std::string, std::string>>;

class RegistryTree {
public:
    // Nothing when the key does not exist.
    static RegistryTree Read(HKEY hive, const std::string& path);

    bool Exists() const { return !m_keys.empty(); }
    RegistryValues Values(const StandIns& standIns) const;
    // Removes whatever is at the key's place now and writes the saved tree
    // back, or nothing when there was none.
    void Restore() const;

private:
    struct Value {
        std::string name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    struct Key {
        std::string path;  // relative to the hive
        std::vector<Value> values;
    };

    HKEY m_hive = nullptr;
    std::string m_path;
    std::vector<Key> m_keys;  // parents before children
};

// Names of a key's subkeys, in lower case.
std::set<std::string> SubkeyNames(HKEY hive, const std::string& path);

// Lines that say which values only one side has and which differ; empty when
// both hold the same.
std::string RegistryDifferences(const RegistryValues& left, const char* leftName, const RegistryValues& right,
                                const char* rightName);
