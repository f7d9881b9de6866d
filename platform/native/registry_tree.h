// The native registry store's content: three hives of keys and values, the
// way the Windows registry arranges them. Names keep the case they were
// created with and are looked up without regard to case.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace regstore {

enum Hive { kClassesRoot, kCurrentUser, kLocalMachine, kHiveCount };

// The registry's own limits; they also keep a hostile store file from
// nesting keys deeper than the recursive walks can go.
inline constexpr size_t kMaxKeyNameLength = 255;
inline constexpr size_t kMaxKeyDepth = 512;
inline constexpr size_t kMaxValueNameLength = 16383;

// The folded form by which keys and values are found (and enumerated: the
// registry orders subkeys by their upper-cased names).
std::string FoldName(std::string_view name);

struct Value {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

struct Key {
    std::string name;
    std::map<std::string, std::unique_ptr<Key>> subkeys;  // by folded name
    std::map<std::string, Value> values;                  // by folded name

    Key* Find(std::string_view childName) const;
    // The existing child of that name, or a new one.
    Key& Child(std::string_view childName, bool* created = nullptr);
};

struct Tree {
    Key hives[kHiveCount];

    // The key at path below the hive (each element one key name), or null.
    Key* Lookup(Hive hive, const std::vector<std::string>& path);
};

// The store's text form. Parse gives false (and leaves tree untouched) for
// anything that is not a well-formed store.
std::string Serialize(const Tree& tree);
bool Parse(std::string_view text, Tree& tree);

}  // namespace regstore
