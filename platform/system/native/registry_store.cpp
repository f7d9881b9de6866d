// The Reg*A subset of the native build, over the file store. A handle is a
// heap object that remembers its key's folded path; every call finds the key
// afresh in the store, so a key that another process deleted reports
// ERROR_KEY_DELETED.
#include "platform/system/registry_api.h"

#include "platform/system/native/registry_store.h"
#include "platform/text/codepage.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

using regstore::Access;
using regstore::Key;
using regstore::kPathSeparator;
using regstore::Tree;
using regstore::WithStore;

struct NativeHkey {
    std::string hiveTag;
    std::vector<std::string> names;  // below the hive
    REGSAM sam;

    std::string FoldedPath() const {
        std::string path = hiveTag;
        for (const std::string& name : names) path += kPathSeparator + regstore::FoldName(name);
        return path;
    }
};

namespace {

// The registry's limit on a value name, terminator included.
constexpr DWORD kMaxNativeValueNameChars = 16384;

std::mutex g_handlesMutex;
std::set<const NativeHkey*> g_handles;

std::optional<std::string> PredefinedHive(HKEY key) {
    if (key == HKEY_CLASSES_ROOT) return regstore::kHiveTags[0];
    if (key == HKEY_CURRENT_USER) return regstore::kHiveTags[1];
    if (key == HKEY_LOCAL_MACHINE) return regstore::kHiveTags[2];
    return std::nullopt;
}

// A copy of what the handle names, so that a concurrent RegCloseKey on
// another thread cannot pull it away mid-call; nothing for a bad handle.
std::optional<NativeHkey> Resolve(HKEY key) {
    if (std::optional<std::string> hive = PredefinedHive(key)) return NativeHkey{*hive, {}, KEY_ALL_ACCESS};
    std::lock_guard<std::mutex> lock(g_handlesMutex);
    if (!g_handles.count(key)) return std::nullopt;
    return *key;
}

// A subkey path as the registry reads it below the handle's key: empty names
// from doubled or trailing backslashes are skipped, a leading backslash is
// refused.
LSTATUS Below(const NativeHkey& parent, const char* subKey, NativeHkey& child) {
    child = parent;
    if (!subKey || !*subKey) return ERROR_SUCCESS;
    if (*subKey == kPathSeparator) return ERROR_BAD_PATHNAME;
    const std::string_view text(subKey);
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find(kPathSeparator, start), text.size());
        if (end > start) {
            if (end - start > regstore::kMaxKeyNameLength || child.names.size() == regstore::kMaxKeyDepth)
                return ERROR_INVALID_PARAMETER;
            child.names.emplace_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

bool Allows(const NativeHkey& handle, REGSAM right) { return (handle.sam & right) == right; }

Key* Find(Tree& tree, const NativeHkey& handle) {
    const auto found = tree.find(handle.FoldedPath());
    return found == tree.end() ? nullptr : &found->second;
}

// The keys below the one at folded: they are the entries whose path goes on
// from it after a separator.
std::pair<Tree::iterator, Tree::iterator> Descendants(Tree& tree, const std::string& folded) {
    return {tree.lower_bound(folded + kPathSeparator), tree.lower_bound(folded + char(kPathSeparator + 1))};
}

LSTATUS OpenOrCreate(HKEY parent, const char* subKey, REGSAM sam, HKEY* result, DWORD* disposition, bool create) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const std::optional<NativeHkey> from = Resolve(parent);
    if (!from) return ERROR_INVALID_HANDLE;
    NativeHkey handle;
    if (const LSTATUS status = Below(*from, subKey, handle); status != ERROR_SUCCESS) return status;

    if (const LSTATUS injected = regstore::InjectedStatus(create ? "RegCreateKeyExA" : "RegOpenKeyExA",
                                                          handle.FoldedPath()))
        return injected;
    bool created = false;
    const LSTATUS status = WithStore(create ? Access::kWrite : Access::kRead, [&](Tree& tree, bool& changed) {
        if (!Find(tree, *from)) return ERROR_KEY_DELETED;
        if (create) {
            CreatePath(tree, handle.hiveTag, handle.names, &created);
            changed = created;
        }
        return Find(tree, handle) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    if (status != ERROR_SUCCESS) return status;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    handle.sam = sam;
    // Owned here until the table holds it, so that a table that cannot grow leaks nothing.
    auto made = std::make_unique<NativeHkey>(std::move(handle));
    std::lock_guard<std::mutex> lock(g_handlesMutex);
    g_handles.insert(made.get());
    *result = made.release();
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegCreateKeyExA(HKEY hive, const char* subKey, DWORD, char*, DWORD, REGSAM sam, void*, HKEY* result,
                        DWORD* disposition) {
    return OpenOrCreate(hive, subKey, sam, result, disposition, true);
}

LSTATUS RegOpenKeyExA(HKEY hive, const char* subKey, DWORD, REGSAM sam, HKEY* result) {
    return OpenOrCreate(hive, subKey, sam, result, nullptr, false);
}

LSTATUS RegSetValueExA(HKEY key, const char* name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    const std::optional<NativeHkey> handle = Resolve(key);
    if (!handle) return ERROR_INVALID_HANDLE;
    if (!data && size != 0) return ERROR_INVALID_PARAMETER;
    const std::string valueName = name ? name : "";
    if (valueName.size() > regstore::kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
    if (!Allows(*handle, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    return WithStore(Access::kWrite, [&](Tree& tree, bool& changed) {
        Key* target = Find(tree, *handle);
        if (!target) return ERROR_KEY_DELETED;
        regstore::Value& value = target->values[regstore::FoldName(valueName)];
        if (value.name.empty()) value.name = valueName;
        value.type = type;
        value.data.assign(data, data + size);
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) {
    const std::optional<NativeHkey> handle = Resolve(key);
    if (!handle) return ERROR_INVALID_HANDLE;
    if (reserved || (data && !size)) return ERROR_INVALID_PARAMETER;
    if (!Allows(*handle, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (const LSTATUS injected = regstore::InjectedStatus("RegQueryValueExA", handle->FoldedPath())) return injected;
    const std::string folded = regstore::FoldName(name ? name : "");
    return WithStore(Access::kRead, [&](Tree& tree, bool&) {
        const Key* target = Find(tree, *handle);
        if (!target) return ERROR_KEY_DELETED;
        const auto found = target->values.find(folded);
        if (found == target->values.end()) return ERROR_FILE_NOT_FOUND;
        const std::vector<uint8_t>& bytes = found->second.data;
        const DWORD needed = static_cast<DWORD>(bytes.size());
        if (type) *type = found->second.type;
        if (!size) return ERROR_SUCCESS;
        const bool fits = *size >= needed;
        *size = needed;
        if (!data) return ERROR_SUCCESS;
        if (!fits) return ERROR_MORE_DATA;
        std::copy(bytes.begin(), bytes.end(), data);
        return ERROR_SUCCESS;
    });
}

// A null subKey empties the handle's key and keeps it.
LSTATUS RegDeleteTreeA(HKEY key, const char* subKey) {
    const std::optional<NativeHkey> from = Resolve(key);
    if (!from) return ERROR_INVALID_HANDLE;
    NativeHkey handle;
    if (const LSTATUS status = Below(*from, subKey, handle); status != ERROR_SUCCESS) return status;
    if (const LSTATUS injected = regstore::InjectedStatus("RegDeleteTreeA", handle.FoldedPath())) return injected;
    return WithStore(Access::kWrite, [&](Tree& tree, bool& changed) {
        Key* target = Find(tree, handle);
        if (!target) return subKey ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
        if (subKey && handle.names.empty()) return ERROR_ACCESS_DENIED;  // a hive stays
        changed = true;
        const auto [first, last] = Descendants(tree, handle.FoldedPath());
        tree.erase(first, last);
        if (subKey) {
            tree.erase(handle.FoldedPath());
        } else {
            target->values.clear();
        }
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteKeyA(HKEY key, const char* subKey) {
    const std::optional<NativeHkey> from = Resolve(key);
    if (!from) return ERROR_INVALID_HANDLE;
    if (!subKey) return ERROR_INVALID_PARAMETER;
    NativeHkey handle;
    if (const LSTATUS status = Below(*from, subKey, handle); status != ERROR_SUCCESS) return status;
    return WithStore(Access::kWrite, [&](Tree& tree, bool& changed) {
        if (!Find(tree, handle)) return ERROR_FILE_NOT_FOUND;
        const auto [first, last] = Descendants(tree, handle.FoldedPath());
        // Only a leaf key goes, and never a hive.
        if (first != last || handle.names.empty()) return ERROR_ACCESS_DENIED;
        tree.erase(handle.FoldedPath());
        changed = true;
        return ERROR_SUCCESS;
    });
}

// The class and the last write time are not kept; callers pass null for them.
LSTATUS RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, char*, DWORD*, void*) {
    const std::optional<NativeHkey> handle = Resolve(key);
    if (!handle) return ERROR_INVALID_HANDLE;
    if (!name || !nameSize || reserved) return ERROR_INVALID_PARAMETER;
    if (!Allows(*handle, KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    return WithStore(Access::kRead, [&](Tree& tree, bool&) {
        if (!Find(tree, *handle)) return ERROR_KEY_DELETED;
        const std::string prefix = handle->FoldedPath() + kPathSeparator;
        auto [child, last] = Descendants(tree, handle->FoldedPath());
        for (DWORD seen = 0; child != last; ++child) {
            if (child->first.find(kPathSeparator, prefix.size()) != std::string::npos) continue;
            if (seen++ < index) continue;
            const std::string& path = child->second.path;
            const std::string childName = path.substr(path.rfind(kPathSeparator) + 1);
            // Room for the name and its terminator, or the caller's size stays.
            if (*nameSize <= childName.size()) return ERROR_MORE_DATA;
            std::memcpy(name, childName.c_str(), childName.size() + 1);
            *nameSize = static_cast<DWORD>(childName.size());
            return ERROR_SUCCESS;
        }
        return ERROR_NO_MORE_ITEMS;
    });
}

LSTATUS RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    const std::optional<NativeHkey> handle = Resolve(key);
    if (!handle) return ERROR_INVALID_HANDLE;
    if (!name || !nameSize || reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    if (!Allows(*handle, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (const LSTATUS injected = regstore::InjectedStatus("RegEnumValueA", handle->FoldedPath())) return injected;
    return WithStore(Access::kRead, [&](Tree& tree, bool&) {
        const Key* target = Find(tree, *handle);
        if (!target) return ERROR_KEY_DELETED;
        if (index >= target->values.size()) return ERROR_NO_MORE_ITEMS;
        const regstore::Value& value = std::next(target->values.begin(), index)->second;
        // Room for the name and its terminator, or the caller's sizes stay.
        if (*nameSize <= value.name.size()) return ERROR_MORE_DATA;
        const DWORD needed = static_cast<DWORD>(value.data.size());
        if (data && *dataSize < needed) {
            *dataSize = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(name, value.name.c_str(), value.name.size() + 1);
        *nameSize = static_cast<DWORD>(value.name.size());
        if (type) *type = value.type;
        if (data) std::copy(value.data.begin(), value.data.end(), data);
        if (dataSize) *dataSize = needed;
        return ERROR_SUCCESS;
    });
}

LSTATUS RegEnumValueW(HKEY key, DWORD index, WCHAR* name, DWORD* nameSize, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    if (!name || !nameSize || reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    if (const std::optional<NativeHkey> handle = Resolve(key))
        if (const LSTATUS injected = regstore::InjectedStatus("RegEnumValueW", handle->FoldedPath())) return injected;
    std::vector<char> ansiName(kMaxNativeValueNameChars);
    DWORD ansiNameSize = kMaxNativeValueNameChars;
    DWORD ansiType = 0;
    DWORD ansiSize = 0;
    LSTATUS status = RegEnumValueA(key, index, ansiName.data(), &ansiNameSize, nullptr, &ansiType, nullptr, &ansiSize);
    if (status != ERROR_SUCCESS) return status;
    std::vector<BYTE> ansiData(ansiSize);
    ansiNameSize = kMaxNativeValueNameChars;
    status = RegEnumValueA(key, index, ansiName.data(), &ansiNameSize, nullptr, &ansiType, ansiData.data(), &ansiSize);
    if (status != ERROR_SUCCESS) return status;
    const WideString wideName = AnsiToWide(std::string(ansiName.data(), ansiNameSize));
    std::vector<BYTE> wideData = ansiData;
    if (ansiType == REG_SZ || ansiType == REG_EXPAND_SZ) {
        const std::string text(ansiData.begin(), ansiData.end());
        const WideString wide = AnsiToWide(text.substr(0, text.find('\0'))) + WCHAR(0);
        const auto* bytes = reinterpret_cast<const BYTE*>(wide.data());
        wideData.assign(bytes, bytes + wide.size() * sizeof(WCHAR));
    }
    if (*nameSize <= wideName.size()) return ERROR_MORE_DATA;
    const DWORD needed = static_cast<DWORD>(wideData.size());
    if (data && *dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    std::copy(wideName.begin(), wideName.end(), name);
    name[wideName.size()] = 0;
    *nameSize = static_cast<DWORD>(wideName.size());
    if (type) *type = ansiType;
    if (data) std::copy(wideData.begin(), wideData.end(), data);
    if (dataSize) *dataSize = needed;
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    if (PredefinedHive(key)) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(g_handlesMutex);
    const auto found = g_handles.find(key);
    if (found == g_handles.end()) return ERROR_INVALID_HANDLE;
    g_handles.erase(found);
    delete key;
    return ERROR_SUCCESS;
}
