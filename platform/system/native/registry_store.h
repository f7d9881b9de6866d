// The native registry store's content and its file. Every key is one entry
// of a map, found by its folded path from its hive ("HKCU\SOFTWARE\TARNEX"),
// so that names are found without regard to case and a key's subkeys come
// in the order the registry enumerates them (by upper-cased name). The file
// is shared by every process of the user: each call loads it, and a change
// is saved before the call returns.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace regstore {

// The registry's own limits; they also keep a hostile store file in bounds.
inline constexpr size_t kMaxKeyNameLength = 255;
inline constexpr size_t kMaxKeyDepth = 512;
inline constexpr size_t kMaxValueNameLength = 16383;
inline constexpr char kPathSeparator = '\\';
// The three hives are keys of their own, with these paths.
inline constexpr const char* kHiveTags[] = {"HKCR", "HKCU", "HKLM"};

struct Value {
    std::string name;  // as first written
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

struct Key {
    std::string path;                     // below the hive, as created; empty for a hive
    std::map<std::string, Value> values;  // by folded name
};

using Tree = std::map<std::string, Key>;  // by folded path from the hive

std::string FoldName(std::string_view name);
// The key at the folded path, each missing key on the way created with the
// name given; names holds the path's key names below the hive's tag.
Key& CreatePath(Tree& tree, const std::string& hiveTag, const std::vector<std::string>& names, bool* created);

// The store's text form. Parse gives false (and leaves tree untouched) for
// anything that is not a well-formed store.
std::string Serialize(const Tree& tree);
bool Parse(std::string_view text, Tree& tree);

enum class Access { kRead, kWrite };

// Runs the operation on the content of the store's file,
// $NUV_REGISTRY_FILE when set and not empty, else ~/.zelview/registry,
// under the store's lock (shared for reads, exclusive for writes). A write
// sets changed when the tree is to be saved. A missing, unreadable or corrupt
// file reads as an empty store. Gives the operation's result, or
// ERROR_ACCESS_DENIED when a change could not be saved.
using StoreOperation = std::function<int32_t(Tree& tree, bool& changed)>;
int32_t WithStore(Access access, const StoreOperation& operation);

// Tests make the store fail as a registry can (a key whose security denies
// reading, a key deleted while it is read): the call named (its Reg*A name)
// on the key at keyPath (hive tag and path, "HKLM\Software\X") returns
// status once the first `passing` such calls went through. One fault at a
// time, in this process only, until ClearFault.
void InjectFault(const std::string& call, const std::string& keyPath, int32_t status, unsigned passing = 0);
void ClearFault();
// What the fault makes of this call on the key at the folded path: its
// status, or 0 to go on.
int32_t InjectedStatus(const char* call, const std::string& foldedPath);

}  // namespace regstore
