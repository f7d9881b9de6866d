// How the native stand-in for "cmd /C start" takes a command line apart into
// the program and its arguments: by the C runtime's rules for quotes and
// backslashes, with one difference: every single blank or tab outside quotes
// ends a word, so that doubled blanks give empty words and each item of a
// save command keeps its position.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> SplitCommandWords(const std::string& command);
