// The Reg*A subset of the native build, over the file store. Handles are heap
// objects that remember the key's path; every call finds its key afresh in
// the store, so a key that another process deleted reports ERROR_KEY_DELETED.
#include "platform/registry_api.h"

#include "platform/native/registry_file.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

using regstore::Access;
using regstore::Hive;
using regstore::Key;
using regstore::Tree;
using regstore::WithStore;

struct NativeHkey {
    Hive hive;
    std::vector<std::string> path;
    REGSAM sam;
};

namespace {

constexpr char kPathSeparator = '\\';
constexpr size_t kFileTimeSize = 8;

std::mutex g_handlesMutex;
std::set<const NativeHkey*> g_handles;

struct KeyRef {
    Hive hive;
    std::vector<std::string> path;
    REGSAM sam;
};

std::optional<Hive> PredefinedHive(HKEY key) {
    if (key == HKEY_CLASSES_ROOT) return regstore::kClassesRoot;
    if (key == HKEY_CURRENT_USER) return regstore::kCurrentUser;
    if (key == HKEY_LOCAL_MACHINE) return regstore::kLocalMachine;
    return std::nullopt;
}

// A copy of what the handle names, so that a concurrent RegCloseKey on
// another thread cannot pull it away mid-call; nothing for a bad handle.
std::optional<KeyRef> Resolve(HKEY key) {
    if (const std::optional<Hive> hive = PredefinedHive(key)) return KeyRef{*hive, {}, KEY_ALL_ACCESS};
    std::lock_guard<std::mutex> lock(g_handlesMutex);
    if (!g_handles.count(key)) return std::nullopt;
    return KeyRef{key->hive, key->path, key->sam};
}

HKEY NewHandle(const KeyRef& ref) {
    // Owned here until the table holds it, so that a table that cannot grow leaks nothing.
    auto handle = std::make_unique<NativeHkey>(NativeHkey{ref.hive, ref.path, ref.sam});
    std::lock_guard<std::mutex> lock(g_handlesMutex);
    g_handles.insert(handle.get());
    return handle.release();
}

// A subkey path as the registry reads it: empty names from doubled or
// trailing backslashes are skipped, a leading backslash is refused.
LSTATUS SplitSubKey(const char* subKey, std::vector<std::string>& names) {
    names.clear();
    if (!subKey || !*subKey) return ERROR_SUCCESS;
    if (*subKey == kPathSeparator) return ERROR_BAD_PATHNAME;
    const std::string_view text(subKey);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(kPathSeparator, start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) {
            if (end - start > regstore::kMaxKeyNameLength || names.size() == regstore::kMaxKeyDepth)
                return ERROR_INVALID_PARAMETER;
            names.emplace_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

bool Allows(const KeyRef& ref, REGSAM right) { return (ref.sam & right) == right; }

LSTATUS OpenOrCreate(HKEY parent, const char* subKey, REGSAM sam, HKEY* result, DWORD* disposition, bool create) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::optional<KeyRef> ref = Resolve(parent);
    if (!ref) return ERROR_INVALID_HANDLE;
    std::vector<std::string> names;
    if (const LSTATUS status = SplitSubKey(subKey, names); status != ERROR_SUCCESS) return status;

    bool created = false;
    const Access access = create ? Access::kWrite : Access::kRead;
    const LSTATUS status = WithStore(access, [&](Tree& tree, bool& changed) -> LSTATUS {
        Key* key = tree.Lookup(ref->hive, ref->path);
        if (!key) return ERROR_KEY_DELETED;
        for (const std::string& name : names) {
            if (Key* child = key->Find(name)) {
                key = child;
            } else if (create) {
                key = &key->Child(name);
                created = changed = true;
            } else {
                return ERROR_FILE_NOT_FOUND;
            }
            // The handle names the key as stored, whatever case the caller used.
            ref->path.push_back(key->name);
        }
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS) return status;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    ref->sam = sam;
    *result = NewHandle(*ref);
    return ERROR_SUCCESS;
}

// Finds the key that subKey names below the handle's key.
Key* LookupBelow(Tree& tree, const KeyRef& ref, const std::vector<std::string>& names) {
    std::vector<std::string> path = ref.path;
    path.insert(path.end(), names.begin(), names.end());
    return tree.Lookup(ref.hive, path);
}

// Removes the key at the full path from its parent; the hive itself stays.
LSTATUS EraseKey(Tree& tree, const KeyRef& ref, const std::vector<std::string>& names) {
    std::vector<std::string> path = ref.path;
    path.insert(path.end(), names.begin(), names.end());
    if (path.empty()) return ERROR_ACCESS_DENIED;
    const std::string last = path.back();
    path.pop_back();
    Key* parent = tree.Lookup(ref.hive, path);
    if (!parent) return ERROR_FILE_NOT_FOUND;
    parent->subkeys.erase(regstore::FoldName(last));
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegCreateKeyExA(HKEY hive, const char* subKey, DWORD reserved, char* cls, DWORD options, REGSAM sam,
                        void* security, HKEY* result, DWORD* disposition) {
    return OpenOrCreate(hive, subKey, sam, result, disposition, true);
}

LSTATUS RegOpenKeyExA(HKEY hive, const char* subKey, DWORD options, REGSAM sam, HKEY* result) {
    return OpenOrCreate(hive, subKey, sam, result, nullptr, false);
}

LSTATUS RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    const std::optional<KeyRef> ref = Resolve(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    if (!data && size != 0) return ERROR_INVALID_PARAMETER;
    const std::string valueName = name ? name : "";
    if (valueName.size() > regstore::kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
    if (!Allows(*ref, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    return WithStore(Access::kWrite, [&](Tree& tree, bool& changed) -> LSTATUS {
        Key* target = tree.Lookup(ref->hive, ref->path);
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
    const std::optional<KeyRef> ref = Resolve(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    if (reserved || (data && !size)) return ERROR_INVALID_PARAMETER;
    if (!Allows(*ref, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    const std::string valueName = name ? name : "";
    return WithStore(Access::kRead, [&](Tree& tree, bool&) -> LSTATUS {
        const Key* target = tree.Lookup(ref->hive, ref->path);
        if (!target) return ERROR_KEY_DELETED;
        const auto it = target->values.find(regstore::FoldName(valueName));
        if (it == target->values.end()) return ERROR_FILE_NOT_FOUND;
        const regstore::Value& value = it->second;
        const DWORD needed = static_cast<DWORD>(value.data.size());
        if (type) *type = value.type;
        if (!size) return ERROR_SUCCESS;
        const bool fits = *size >= needed;
        *size = needed;
        if (!data) return ERROR_SUCCESS;
        if (!fits) return ERROR_MORE_DATA;
        std::copy(value.data.begin(), value.data.end(), data);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteTreeA(HKEY key, const char* subKey) {
    const std::optional<KeyRef> ref = Resolve(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    std::vector<std::string> names;
    if (const LSTATUS status = SplitSubKey(subKey, names); status != ERROR_SUCCESS) return status;
    return WithStore(Access::kWrite, [&](Tree& tree, bool& changed) -> LSTATUS {
        Key* target = LookupBelow(tree, *ref, names);
        if (!target) return subKey ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
        changed = true;
        if (!subKey) {
            target->subkeys.clear();
            target->values.clear();
            return ERROR_SUCCESS;
        }
        return EraseKey(tree, *ref, names);
    });
}

LSTATUS RegDeleteKeyA(HKEY key, const char* subKey) {
    const std::optional<KeyRef> ref = Resolve(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    if (!subKey) return ERROR_INVALID_PARAMETER;
    std::vector<std::string> names;
    if (const LSTATUS status = SplitSubKey(subKey, names); status != ERROR_SUCCESS) return status;
    return WithStore(Access::kWrite, [&](Tree& tree, bool& changed) -> LSTATUS {
        const Key* target = LookupBelow(tree, *ref, names);
        if (!target) return ERROR_FILE_NOT_FOUND;
        if (!target->subkeys.empty()) return ERROR_ACCESS_DENIED;
        const LSTATUS status = EraseKey(tree, *ref, names);
        changed = status == ERROR_SUCCESS;
        return status;
    });
}

LSTATUS RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, char* cls,
                      DWORD* clsSize, void* lastWrite) {
    const std::optional<KeyRef> ref = Resolve(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    if (!name || !nameSize || reserved) return ERROR_INVALID_PARAMETER;
    if (!Allows(*ref, KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    return WithStore(Access::kRead, [&](Tree& tree, bool&) -> LSTATUS {
        const Key* target = tree.Lookup(ref->hive, ref->path);
        if (!target) return ERROR_KEY_DELETED;
        if (index >= target->subkeys.size()) return ERROR_NO_MORE_ITEMS;
        const std::string& childName = std::next(target->subkeys.begin(), index)->second->name;
        // Room for the name and its terminator, or the caller's size stays.
        if (*nameSize <= childName.size()) return ERROR_MORE_DATA;
        std::memcpy(name, childName.c_str(), childName.size() + 1);
        *nameSize = static_cast<DWORD>(childName.size());
        if (clsSize) {
            if (cls && *clsSize > 0) *cls = '\0';
            *clsSize = 0;
        }
        if (lastWrite) std::memset(lastWrite, 0, kFileTimeSize);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    const std::optional<KeyRef> ref = Resolve(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    if (!name || !nameSize || reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    if (!Allows(*ref, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    return WithStore(Access::kRead, [&](Tree& tree, bool&) -> LSTATUS {
        const Key* target = tree.Lookup(ref->hive, ref->path);
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

LSTATUS RegCloseKey(HKEY key) {
    if (PredefinedHive(key)) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(g_handlesMutex);
    const auto it = g_handles.find(key);
    if (it == g_handles.end()) return ERROR_INVALID_HANDLE;
    g_handles.erase(it);
    delete key;
    return ERROR_SUCCESS;
}
