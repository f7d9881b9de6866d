// Natively the agent tells the user things on standard error; the host
// catches that text around one call so the report can quote it. On Windows
// the agent shows a message box instead and this captures nothing.
#pragma once

#include <string>

namespace host {

class StderrCapture {
public:
    StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;
    ~StderrCapture();
    // Restores standard error and returns what was written meanwhile.
    std::string Finish();

private:
    int m_saved = -1;
    int m_file = -1;
};

}  // namespace host
