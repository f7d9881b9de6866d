// Texts that come from the web front end of the PDM system.
#pragma once

#include <string>

// Undoes form encoding: "+" is a blank, "%" and two hex digits one byte.
std::string UrlDecode(const std::string& text);

// True when the text begins with "http://" by PathsEqual.
bool IsHttpLocation(const std::string& text);
