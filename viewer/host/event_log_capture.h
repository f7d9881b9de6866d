// The agent's entries in the Application event log during the session, for
// the report beside its debug output: natively from the file the agent's
// stand-in writes them to, one line per entry with its event number, level
// and text. On Windows they stay in the system's log, for Event Viewer.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace host {

class EventLogCapture {
public:
    EventLogCapture();
    EventLogCapture(const EventLogCapture&) = delete;
    EventLogCapture& operator=(const EventLogCapture&) = delete;
    ~EventLogCapture();

    std::vector<std::string> Finish();
    const std::string& Problem() const { return m_problem; }

private:
    struct Channel;
    std::unique_ptr<Channel> m_channel;
    std::string m_problem;
};

}  // namespace host
