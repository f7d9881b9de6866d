// Presses OK on the agent's message box for an unattended run, the way a
// user would: from a helper thread, once the box has appeared.
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace host {

class MessageBoxCloser {
public:
    // Starts watching for a box with that caption; does nothing natively,
    // where the agent's messages go to standard error.
    explicit MessageBoxCloser(const std::string& caption);
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;
    ~MessageBoxCloser();

    // Stops watching; the text of the box that was closed, or empty.
    std::string Finish();

private:
    std::string m_caption;
    std::string m_text;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace host
