// Environment references in a text, as Windows expands them: %NAME% stands
// for the variable's value; a reference to a variable that is not set, and a
// lone %, stay as they are.
#pragma once

#include <optional>
#include <string>

// Nothing when the system could not expand the text.
std::optional<std::string> ExpandEnvironmentText(const std::string& text);

// The computer's name and the name of the user the process runs as, for the
// log; empty when the system does not tell.
std::string ComputerName();
std::string UserName();
