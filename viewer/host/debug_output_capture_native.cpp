#include "viewer/host/debug_output_capture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include <unistd.h>

namespace host {
namespace {
// Where the native agent writes its debug output lines.
constexpr char kDebugOutputVariable[] = "ZEL_DEBUG_OUTPUT_FILE";
}  // namespace

struct DebugOutputCapture::Channel {
    std::string path;
    std::optional<std::string> previous;
};

DebugOutputCapture::DebugOutputCapture() : m_channel(std::make_unique<Channel>()) {
    if (const char* old = std::getenv(kDebugOutputVariable)) m_channel->previous = old;
    char path[] = "/tmp/zelview-sim-debug-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        m_problem = "no file for the agent's debug output";
        m_channel.reset();
        return;
    }
    close(fd);
    m_channel->path = path;
    setenv(kDebugOutputVariable, path, 1);
}

DebugOutputCapture::~DebugOutputCapture() { Finish(); }

std::vector<std::string> DebugOutputCapture::Finish() {
    if (!m_channel) return {};
    std::stringstream text;
    text << std::ifstream(m_channel->path).rdbuf();
    std::remove(m_channel->path.c_str());
    if (m_channel->previous) setenv(kDebugOutputVariable, m_channel->previous->c_str(), 1);
    else unsetenv(kDebugOutputVariable);
    m_channel.reset();
    return TextLines(text.str());
}

}  // namespace host
