// Natively the agent's messages go to standard error: there is no box to
// close.
#include "viewer/host/message_box_closer.h"

namespace host {

MessageBoxCloser::MessageBoxCloser(const std::string& caption) : m_caption(caption) {}

MessageBoxCloser::~MessageBoxCloser() = default;

std::string MessageBoxCloser::Finish() { return m_text; }

}  // namespace host
