#include "tests/package/registry_snapshot.h"

#include "platform/system/registry_api.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

// Longest key and value names the registry allows, with the terminator.
constexpr DWORD kMaxKeyName = 256;
constexpr DWORD kMaxValueName = 16384;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ReplacedIgnoringCase(std::string text, const StandIns& standIns) {
    for (const auto& [what, with] : standIns) {
        if (what.empty()) continue;
        const std::string lowerWhat = Lower(what);
        std::string lower = Lower(text);
        for (size_t at = lower.find(lowerWhat); at != std::string::npos; at = lower.find(lowerWhat, at + with.size())) {
            text.replace(at, what.size(), with);
            lower.replace(at, what.size(), with);
        }
    }
    return text;
}

std::string Describe(DWORD type, const std::vector<BYTE>& data, const StandIns& standIns) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::string text(data.begin(), data.end());
        text.resize(strnlen(text.c_str(), text.size()));
        return (type == REG_SZ ? "REG_SZ: " : "REG_EXPAND_SZ: ") + ReplacedIgnoringCase(text, standIns);
    }
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::copy(data.begin(), data.end(), reinterpret_cast<BYTE*>(&number));
        return "REG_DWORD: " + std::to_string(number);
    }
    std::string text = "type " + std::to_string(type) + ":";
    for (const BYTE byte : data) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", byte);
        text += hex;
    }
    return text;
}

}  // namespace

RegistryTree RegistryTree::Read(HKEY hive, const std::string& path) {
    RegistryTree tree;
    tree.m_hive = hive;
    tree.m_path = path;
    std::vector<std::string> pending{path};
    while (!pending.empty()) {
        Key key{pending.front(), {}};
        pending.erase(pending.begin());
        UniqueHkey open;
        if (RegOpenKeyExA(hive, key.path.c_str(), 0, KEY_READ, open.put()) != ERROR_SUCCESS) continue;
        for (DWORD index = 0;; ++index) {
            std::vector<char> name(kMaxValueName);
            DWORD nameSize = kMaxValueName;
            DWORD type = 0;
            DWORD dataSize = 0;
            if (RegEnumValueA(open.get(), index, name.data(), &nameSize, nullptr, &type, nullptr, &dataSize) !=
                ERROR_SUCCESS)
                break;
            Value value{std::string(name.data(), nameSize), type, std::vector<BYTE>(dataSize)};
            if (RegQueryValueExA(open.get(), value.name.empty() ? nullptr : value.name.c_str(), nullptr, &type,
                                 value.data.data(), &dataSize) == ERROR_SUCCESS) {
                value.data.resize(dataSize);
                key.values.push_back(std::move(value));
            }
        }
        for (DWORD index = 0;; ++index) {
            char name[kMaxKeyName];
            DWORD nameSize = kMaxKeyName;
            if (RegEnumKeyExA(open.get(), index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            pending.push_back(key.path + "\\" + std::string(name, nameSize));
        }
        tree.m_keys.push_back(std::move(key));
    }
    return tree;
}

RegistryValues RegistryTree::Values(const StandIns& standIns) const {
    RegistryValues values;
    for (const Key& key : m_keys) {
        const std::string path = Lower(key.path);
        if (key.values.empty()) values[path + "\\(key)"] = "";
        for (const Value& value : key.values)
            values[path + "\\" + (value.name.empty() ? "@" : Lower(value.name))] =
                Describe(value.type, value.data, standIns);
    }
    return values;
}

void RegistryTree::Restore() const {
    RegDeleteTreeA(m_hive, m_path.c_str());
    for (const Key& key : m_keys) {
        UniqueHkey created;
        if (RegCreateKeyExA(m_hive, key.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            created.put(), nullptr) != ERROR_SUCCESS)
            continue;
        for (const Value& value : key.values)
            RegSetValueExA(created.get(), value.name.empty() ? nullptr : value.name.c_str(), 0, value.type,
                           value.data.data(), static_cast<DWORD>(value.data.size()));
    }
}

std::set<std::string> SubkeyNames(HKEY hive, const std::string& path) {
    std::set<std::string> names;
    UniqueHkey open;
    if (RegOpenKeyExA(hive, path.empty() ? nullptr : path.c_str(), 0, KEY_READ, open.put()) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[kMaxKeyName];
        DWORD nameSize = kMaxKeyName;
        if (RegEnumKeyExA(open.get(), index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.insert(Lower(std::string(name, nameSize)));
    }
    return names;
}

std::string RegistryDifferences(const RegistryValues& left, const char* leftName, const RegistryValues& right,
                                const char* rightName) {
    std::string lines;
    for (const auto& [where, value] : left) {
        const auto other = right.find(where);
        if (other == right.end())
            lines += std::string("only after ") + leftName + ": " + where + " = " + value + "\n";
        else if (other->second != value)
            lines += where + ": " + leftName + " " + value + ", " + rightName + " " + other->second + "\n";
    }
    for (const auto& [where, value] : right) {
        if (!left.count(where)) lines += std::string("only after ") + rightName + ": " + where + " = " + value + "\n";
    }
    return lines;
}
