#include "platform/system/log_file.h"

// The constructor, the destructor and Close are the platform's: they see
// its Open whole.

bool LogFile::Append(const std::string& path, const std::string& line) {
    const bool checkPath = PathCheckDue();
    if (!IsOpenAt(path)) {
        if (!Reopen(path)) return false;
    } else if (checkPath && !IsAtPath() && !Reopen(path)) {
        return false;
    }
    // The size known is the system's at the last look plus this process's
    // lines since: it misses a file emptied meanwhile, which the system's
    // own size, the one that decides a rename, does not.
    if (WouldOverfill(line.size())) {
        Measure();
        if (WouldOverfill(line.size())) {
            RotateMeasured();
            if (!Reopen(path)) return false;
        }
    }
    if (!Write(line)) return false;
    Wrote(line.size());
    return true;
}

bool LogFile::PathCheckDue() {
    const unsigned long long now = m_clock();
    if (now < m_nextPathCheck) return false;
    m_nextPathCheck = now + kLogPathCheckMillis;
    return true;
}

bool LogFile::Reopen(const std::string& path) {
    if (!OpenAt(path)) return false;
    // A size the system does not tell counts as none: no rename before the
    // next look.
    Measured(0);
    Measure();
    return true;
}

bool LogFile::WouldOverfill(size_t adding) const { return m_size > 0 && m_size + adding > kMaxLogBytes; }
