#include "viewer/host/event_log_capture.h"

namespace host {

struct EventLogCapture::Channel {};

// Reading the system's log back takes an administrator's rights on many
// machines, and Wine keeps no log to read.
EventLogCapture::EventLogCapture()
    : m_problem("the agent writes to the Application event log (source ZelDMAgent): see Event Viewer") {}

EventLogCapture::~EventLogCapture() = default;

std::vector<std::string> EventLogCapture::Finish() { return {}; }

}  // namespace host
