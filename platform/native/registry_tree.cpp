#include "platform/native/registry_tree.h"

#include <cstdio>

namespace regstore {

namespace {

constexpr std::string_view kHeader = "zelview-registry 1";
constexpr char kFieldSeparator = '\t';
constexpr char kPathSeparator = '\\';
constexpr const char* kHiveTags[kHiveCount] = {"HKCR", "HKCU", "HKLM"};

// Names may hold any byte but the separators of the format; a percent sign
// introduces two hex digits.
bool NeedsEscape(unsigned char c) { return c <= 0x20 || c == 0x7F || c == '%' || c == kPathSeparator; }

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHexByte(std::string& out, unsigned char c) {
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 0xF];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Escape(std::string_view name) {
    std::string out;
    for (unsigned char c : name) {
        if (NeedsEscape(c)) {
            out += '%';
            AppendHexByte(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

bool DecodeHex(std::string_view text, std::vector<uint8_t>& out) {
    if (text.size() % 2 != 0) return false;
    out.clear();
    out.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexValue(text[i]);
        const int low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) return false;
        out.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return true;
}

bool ParseType(std::string_view text, uint32_t& type) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > UINT32_MAX) return false;
    type = static_cast<uint32_t>(value);
    return true;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

bool ParseHive(std::string_view tag, Hive& hive) {
    for (int i = 0; i < kHiveCount; ++i) {
        if (tag == kHiveTags[i]) {
            hive = static_cast<Hive>(i);
            return true;
        }
    }
    return false;
}

// A stored path: escaped key names joined by backslashes; empty for the hive.
bool ParsePath(std::string_view text, std::vector<std::string>& path) {
    path.clear();
    if (text.empty()) return true;
    for (std::string_view part : Split(text, kPathSeparator)) {
        if (path.size() == kMaxKeyDepth) return false;
        std::string name;
        if (!Unescape(part, name) || name.empty() || name.size() > kMaxKeyNameLength) return false;
        path.push_back(std::move(name));
    }
    return true;
}

Key& CreatePath(Tree& tree, Hive hive, const std::vector<std::string>& path) {
    Key* key = &tree.hives[hive];
    for (const std::string& name : path) key = &key->Child(name);
    return *key;
}

void SerializeKey(const Key& key, const std::string& hiveTag, const std::string& path, std::string& out) {
    if (!path.empty()) out += "K\t" + hiveTag + '\t' + path + '\n';
    for (const auto& [folded, value] : key.values) {
        out += "V\t" + hiveTag + '\t' + path + '\t' + Escape(value.name) + '\t' + std::to_string(value.type) + '\t';
        for (uint8_t byte : value.data) AppendHexByte(out, byte);
        out += '\n';
    }
    for (const auto& [folded, child] : key.subkeys) {
        const std::string childPath = path.empty() ? Escape(child->name) : path + kPathSeparator + Escape(child->name);
        SerializeKey(*child, hiveTag, childPath, out);
    }
}

bool ParseLine(std::string_view line, Tree& tree) {
    const std::vector<std::string_view> fields = Split(line, kFieldSeparator);
    Hive hive;
    std::vector<std::string> path;
    if (fields.size() < 3 || !ParseHive(fields[1], hive) || !ParsePath(fields[2], path)) return false;
    if (fields[0] == "K" && fields.size() == 3 && !path.empty()) {
        CreatePath(tree, hive, path);
        return true;
    }
    if (fields[0] != "V" || fields.size() != 6) return false;
    Value value;
    if (!Unescape(fields[3], value.name) || !ParseType(fields[4], value.type) || !DecodeHex(fields[5], value.data))
        return false;
    Key& key = CreatePath(tree, hive, path);
    std::string folded = FoldName(value.name);
    key.values[std::move(folded)] = std::move(value);
    return true;
}

}  // namespace

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

Key* Key::Find(std::string_view childName) const {
    const auto it = subkeys.find(FoldName(childName));
    return it == subkeys.end() ? nullptr : it->second.get();
}

Key& Key::Child(std::string_view childName, bool* created) {
    std::unique_ptr<Key>& slot = subkeys[FoldName(childName)];
    if (created) *created = !slot;
    if (!slot) {
        slot = std::make_unique<Key>();
        slot->name = std::string(childName);
    }
    return *slot;
}

Key* Tree::Lookup(Hive hive, const std::vector<std::string>& path) {
    Key* key = &hives[hive];
    for (const std::string& name : path) {
        key = key->Find(name);
        if (!key) return nullptr;
    }
    return key;
}

std::string Serialize(const Tree& tree) {
    std::string out(kHeader);
    out += '\n';
    for (int i = 0; i < kHiveCount; ++i) SerializeKey(tree.hives[i], kHiveTags[i], std::string(), out);
    return out;
}

bool Parse(std::string_view text, Tree& tree) {
    Tree parsed;
    std::vector<std::string_view> lines = Split(text, '\n');
    if (lines.empty() || lines.front() != kHeader) return false;
    if (lines.back().empty()) lines.pop_back();
    for (size_t i = 1; i < lines.size(); ++i) {
        if (!ParseLine(lines[i], parsed)) return false;
    }
    for (int i = 0; i < kHiveCount; ++i) std::swap(tree.hives[i], parsed.hives[i]);
    return true;
}

}  // namespace regstore
