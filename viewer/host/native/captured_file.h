// Natively the agent writes what would go to a system channel (the debug
// output, the event log) into the file an environment variable names: this
// names a fresh file for the session and reads it back.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace host {

class CapturedFile {
public:
    explicit CapturedFile(const char* variable);
    CapturedFile(const CapturedFile&) = delete;
    CapturedFile& operator=(const CapturedFile&) = delete;
    ~CapturedFile();

    // False when no file could be made.
    bool Ready() const { return !m_path.empty(); }
    // The lines written, each without its end; the variable is put back.
    std::vector<std::string> Finish();

private:
    const char* m_variable;
    std::string m_path;
    std::optional<std::string> m_previous;
};

}  // namespace host
