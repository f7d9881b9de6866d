#include "viewer/host/debug_output_capture.h"

#include "viewer/host/native/captured_file.h"

namespace host {
namespace {
// Where the native agent writes its debug output lines.
constexpr char kDebugOutputVariable[] = "ZEL_DEBUG_OUTPUT_FILE";
}  // namespace

struct DebugOutputCapture::Channel {
    CapturedFile file{kDebugOutputVariable};
};

DebugOutputCapture::DebugOutputCapture() : m_channel(std::make_unique<Channel>()) {
    if (m_channel->file.Ready()) return;
    m_problem = "no file for the agent's debug output";
    m_channel.reset();
}

DebugOutputCapture::~DebugOutputCapture() { Finish(); }

std::vector<std::string> DebugOutputCapture::Finish() {
    if (!m_channel) return {};
    std::vector<std::string> lines = m_channel->file.Finish();
    m_channel.reset();
    return lines;
}

}  // namespace host
