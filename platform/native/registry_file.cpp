#include "platform/native/registry_file.h"

#include "platform/registry_api.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace regstore {

namespace {

constexpr char kStoreFileVariable[] = "NUV_REGISTRY_FILE";
constexpr char kStoreFolder[] = ".zelview";
constexpr char kStoreFileName[] = "registry";
constexpr char kLockSuffix[] = ".lock";
constexpr char kTempSuffix[] = ".tmp";
// Larger files are not a store this code wrote.
constexpr off_t kMaxStoreSize = 64 * 1024 * 1024;

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
    if (!fd.valid()) return false;
    if (!WriteAll(fd.get(), text)) {
        unlink(temp.c_str());
        return false;
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::string StoreFilePath() {
    if (const char* file = std::getenv(kStoreFileVariable); file && *file) return file;
    const std::string folder = HomeFolder() + '/' + kStoreFolder;
    mkdir(folder.c_str(), 0700);  // exists already, or the open below fails
    return folder + '/' + kStoreFileName;
}

int32_t WithStore(Access access, const StoreOperation& operation) {
    const std::string path = StoreFilePath();
    // The lock lives beside the store, since the rename of a save replaces
    // the store file itself.
    FileDescriptor lock(open((path + kLockSuffix).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    const bool locked = lock.valid() && LockFile(lock.get(), access);
    Tree tree;
    if (locked) Parse(ReadWhole(path), tree);
    bool changed = false;
    const int32_t result = operation(tree, changed);
    if (access != Access::kWrite || !changed) return result;
    if (!locked || !SaveWhole(path, Serialize(tree))) return ERROR_ACCESS_DENIED;
    return result;
}

}  // namespace regstore
