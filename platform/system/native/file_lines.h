// The native stand-ins for the system's channels (the debug output, the event
// log) keep their lines in files that tests and zelview-sim read.
#pragma once

#include <string>

// Appends text to the file at path with one write in append mode, so that
// several processes may share it; created when missing.
bool AppendTextLine(const std::string& path, const std::string& text);
