// Texts that come from the web front end of the PDM system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Undoes form encoding: "+" is a blank, "%" and two hex digits one byte.
std::string UrlDecode(const std::string& text);

// True when the text begins with "http://" by PathsEqual.
bool IsHttpLocation(const std::string& text);

// The number that the runtime's sscanf with "%x" reads from the start of
// chars (blanks, a sign, a "0x" prefix and hex digits), as the unsigned value
// it stores; empty when it reads none.
std::optional<unsigned> ReadHexNumber(std::string_view chars);
