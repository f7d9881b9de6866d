// The store as text: a header line, then a line "K<tab>hive<tab>path" per key
// and "V<tab>hive<tab>path<tab>name<tab>type<tab>hex bytes" per value, where a
// path joins key names with "\" and a name escapes the format's separators
// as "%" and two hex digits.
#include "platform/system/native/registry_store.h"

#include "platform/system/registry_api.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace regstore {

namespace {

constexpr std::string_view kHeader = "zelview-registry 1";
constexpr char kFieldSeparator = '\t';
constexpr char kEscape = '%';
constexpr char kHexDigits[] = "0123456789abcdef";

constexpr char kStoreFileVariable[] = "NUV_REGISTRY_FILE";
constexpr char kStoreFolder[] = ".zelview";
constexpr char kStoreFileName[] = "registry";
constexpr char kLockSuffix[] = ".lock";
constexpr char kTempSuffix[] = ".tmp";
// Larger files are not a store this code wrote.
constexpr off_t kMaxStoreSize = 64 * 1024 * 1024;

bool NeedsEscape(unsigned char c) { return c <= 0x20 || c == 0x7F || c == kEscape || c == kPathSeparator; }

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

// The byte of the two hex digits at text[at], or -1.
int HexByte(std::string_view text, size_t at) {
    if (at + 1 >= text.size()) return -1;
    const int high = HexValue(text[at]);
    const int low = HexValue(text[at + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

std::string Escape(std::string_view name) {
    std::string out;
    for (const unsigned char c : name) {
        if (!NeedsEscape(c)) {
            out += static_cast<char>(c);
            continue;
        }
        out += kEscape;
        AppendHexByte(out, c);
    }
    return out;
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != kEscape) {
            out += text[i];
            continue;
        }
        const int byte = HexByte(text, i + 1);
        if (byte < 0) return false;
        out += static_cast<char>(byte);
        i += 2;
    }
    return true;
}

bool DecodeHex(std::string_view text, std::vector<uint8_t>& out) {
    if (text.size() % 2 != 0) return false;
    out.clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        const int byte = HexByte(text, i);
        if (byte < 0) return false;
        out.push_back(static_cast<uint8_t>(byte));
    }
    return true;
}

bool ParseType(std::string_view text, uint32_t& type) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > UINT32_MAX) return false;
    type = static_cast<uint32_t>(value);
    return true;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

bool IsHiveTag(std::string_view tag) {
    for (const char* known : kHiveTags)
        if (tag == known) return true;
    return false;
}

// A stored path: escaped key names joined by backslashes; empty for the hive.
bool ParsePath(std::string_view text, std::vector<std::string>& names) {
    names.clear();
    if (text.empty()) return true;
    for (const std::string_view part : Split(text, kPathSeparator)) {
        if (names.size() == kMaxKeyDepth) return false;
        std::string name;
        // A separator inside a name is no name the registry makes.
        if (!Unescape(part, name) || name.empty() || name.size() > kMaxKeyNameLength ||
            name.find(kPathSeparator) != std::string::npos)
            return false;
        names.push_back(std::move(name));
    }
    return true;
}

bool ParseLine(std::string_view line, Tree& tree) {
    const std::vector<std::string_view> fields = Split(line, kFieldSeparator);
    std::vector<std::string> names;
    if (fields.size() < 3 || !IsHiveTag(fields[1]) || !ParsePath(fields[2], names)) return false;
    const std::string hiveTag(fields[1]);
    if (fields[0] == "K" && fields.size() == 3 && !names.empty()) {
        CreatePath(tree, hiveTag, names, nullptr);
        return true;
    }
    if (fields[0] != "V" || fields.size() != 6) return false;
    Value value;
    if (!Unescape(fields[3], value.name) || !ParseType(fields[4], value.type) || !DecodeHex(fields[5], value.data))
        return false;
    std::string folded = FoldName(value.name);
    CreatePath(tree, hiveTag, names, nullptr).values[std::move(folded)] = std::move(value);
    return true;
}

std::string EscapedPath(std::string_view path) {
    std::string out;
    for (const std::string_view name : Split(path, kPathSeparator)) {
        if (!out.empty()) out += kPathSeparator;
        out += Escape(name);
    }
    return path.empty() ? std::string() : out;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return ".";
}

std::string StoreFilePath() {
    if (const char* file = std::getenv(kStoreFileVariable); file && *file) return file;
    const std::string folder = HomeFolder() + '/' + kStoreFolder;
    mkdir(folder.c_str(), 0700);  // exists already, or the open below fails
    return folder + '/' + kStoreFileName;
}

bool LockFile(int fd, Access access) {
    const int operation = access == Access::kWrite ? LOCK_EX : LOCK_SH;
    while (flock(fd, operation) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

std::string ReadWhole(const std::string& path) {
    FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!fd.valid() || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxStoreSize)
        return std::string();
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        text.append(buffer, static_cast<size_t>(got));
        if (text.size() > static_cast<size_t>(kMaxStoreSize)) return std::string();
    }
    return text;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

// A reader never sees a half-written store: the new content goes to a side
// file that then replaces the store in one rename.
bool SaveWhole(const std::string& path, const std::string& text) {
    const std::string temp = path + kTempSuffix;
    FileDescriptor fd(open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (fd.valid() && WriteAll(fd.get(), text) && rename(temp.c_str(), path.c_str()) == 0) return true;
    unlink(temp.c_str());
    return false;
}

Tree EmptyTree() {
    Tree tree;
    for (const char* tag : kHiveTags) tree[tag];
    return tree;
}

}  // namespace

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

Key& CreatePath(Tree& tree, const std::string& hiveTag, const std::vector<std::string>& names, bool* created) {
    std::string folded = hiveTag;
    Key* key = &tree[hiveTag];
    for (const std::string& name : names) {
        const std::string parentPath = key->path;
        folded += kPathSeparator;
        folded += FoldName(name);
        const auto [found, inserted] = tree.try_emplace(folded);
        key = &found->second;
        if (!inserted) continue;
        key->path = parentPath.empty() ? name : parentPath + kPathSeparator + name;
        if (created) *created = true;
    }
    return *key;
}

std::string Serialize(const Tree& tree) {
    std::string out(kHeader);
    out += '\n';
    for (const auto& [folded, key] : tree) {
        const std::string hiveTag = folded.substr(0, folded.find(kPathSeparator));
        const std::string path = EscapedPath(key.path);
        if (!path.empty()) out += "K\t" + hiveTag + '\t' + path + '\n';
        for (const auto& [foldedName, value] : key.values) {
            out += "V\t" + hiveTag + '\t' + path + '\t' + Escape(value.name) + '\t' + std::to_string(value.type) + '\t';
            for (const uint8_t byte : value.data) AppendHexByte(out, byte);
            out += '\n';
        }
    }
    return out;
}

bool Parse(std::string_view text, Tree& tree) {
    Tree parsed = EmptyTree();
    std::vector<std::string_view> lines = Split(text, '\n');
    if (lines.empty() || lines.front() != kHeader) return false;
    if (lines.back().empty()) lines.pop_back();
    for (size_t i = 1; i < lines.size(); ++i) {
        if (!ParseLine(lines[i], parsed)) return false;
    }
    tree = std::move(parsed);
    return true;
}

namespace {
struct Fault {
    std::string call;
    std::string foldedPath;
    int32_t status = 0;
    unsigned passing = 0;
};
std::mutex g_faultMutex;
std::optional<Fault> g_fault;
}  // namespace

void InjectFault(const std::string& call, const std::string& keyPath, int32_t status, unsigned passing) {
    std::lock_guard<std::mutex> lock(g_faultMutex);
    g_fault = Fault{call, FoldName(keyPath), status, passing};
}

void ClearFault() {
    std::lock_guard<std::mutex> lock(g_faultMutex);
    g_fault.reset();
}

int32_t InjectedStatus(const char* call, const std::string& foldedPath) {
    std::lock_guard<std::mutex> lock(g_faultMutex);
    if (!g_fault || g_fault->call != call || g_fault->foldedPath != foldedPath) return 0;
    if (g_fault->passing == 0) return g_fault->status;
    --g_fault->passing;
    return 0;
}

int32_t WithStore(Access access, const StoreOperation& operation) {
    const std::string path = StoreFilePath();
    // The lock lives beside the store, since the rename of a save replaces
    // the store file itself.
    FileDescriptor lock(open((path + kLockSuffix).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    const bool locked = lock.valid() && LockFile(lock.get(), access);
    Tree tree = EmptyTree();
    if (locked) Parse(ReadWhole(path), tree);
    bool changed = false;
    const int32_t result = operation(tree, changed);
    if (access != Access::kWrite || !changed) return result;
    if (!locked || !SaveWhole(path, Serialize(tree))) return ERROR_ACCESS_DENIED;
    return result;
}

}  // namespace regstore
