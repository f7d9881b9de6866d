// On Windows the agent shows a message box instead of writing to standard
// error: nothing to capture.
#include "viewer/host/stderr_capture.h"

namespace host {

StderrCapture::StderrCapture() = default;
StderrCapture::~StderrCapture() = default;
std::string StderrCapture::Finish() { return {}; }

}  // namespace host
