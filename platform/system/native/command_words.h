// How the native stand-in for "cmd /C start" takes a command line apart into
// the program and its arguments: by the C runtime's rules, so that native
// tests see the arguments a Windows program gets. A run of blanks and tabs
// outside quotes ends a word, "" is an empty word, and backslashes count only
// before a quote.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> SplitCommandWords(const std::string& command);
