// The agent's debug output lines during the session, for the report beside
// the viewer's own. On Windows they are read from the system's debug output
// channel, as a debug output viewer reads them, keeping this process's own;
// natively the agent writes them to a file this capture names for it.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace host {

class DebugOutputCapture {
public:
    // Starts capturing; Problem() tells why nothing can be.
    DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;
    ~DebugOutputCapture();

    // Stops capturing and returns the lines, each without its line end.
    std::vector<std::string> Finish();
    const std::string& Problem() const { return m_problem; }

private:
    struct Channel;
    std::unique_ptr<Channel> m_channel;
    std::string m_problem;
};

// The lines of a text, without their ends (LF or CR LF).
inline std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        begin = end + 1;
    }
    return lines;
}

}  // namespace host
