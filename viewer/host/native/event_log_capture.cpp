#include "viewer/host/event_log_capture.h"

#include "viewer/host/native/captured_file.h"

namespace host {
namespace {
// Where the native agent's stand-in keeps its event log entries.
constexpr char kEventLogVariable[] = "ZEL_EVENT_LOG_FILE";
}  // namespace

struct EventLogCapture::Channel {
    CapturedFile file{kEventLogVariable};
};

EventLogCapture::EventLogCapture() : m_channel(std::make_unique<Channel>()) {
    if (m_channel->file.Ready()) return;
    m_problem = "no file for the agent's event log";
    m_channel.reset();
}

EventLogCapture::~EventLogCapture() { Finish(); }

std::vector<std::string> EventLogCapture::Finish() {
    if (!m_channel) return {};
    std::vector<std::string> lines = m_channel->file.Finish();
    m_channel.reset();
    return lines;
}

}  // namespace host
