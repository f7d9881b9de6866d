// Small text operations on the agent's string type (std::string: bytes of
// ANSI text, value semantics; positions and lengths count bytes).
#pragma once

#include <string>

// Every occurrence of search replaced by replacement, left to right. An empty
// search text leaves the text unchanged; a replacement that holds the search
// text is not searched again, so the operation always ends.
std::string ReplaceAll(std::string text, const std::string& search, const std::string& replacement);

// The text before the first occurrence of marker; the whole text without one.
std::string TextBefore(const std::string& text, const std::string& marker);

// The text after the first occurrence of marker; empty without one.
std::string TextAfter(const std::string& text, const std::string& marker);

// Decimal number by the rule of the runtime's atoi: optional blanks, an
// optional sign, digits up to the first other character; 0 without a number.
// Values beyond the 32-bit range saturate.
long ParseLeadingInt(const std::string& text);

// Decimal text of a number, without sign for non-negative values and without
// leading zeros.
std::string DecimalText(long value);
