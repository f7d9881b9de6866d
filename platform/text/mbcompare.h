// Multibyte-aware comparisons in the current code page.
#pragma once

// Case-insensitive, as the runtime's _mbsicmp: <0, 0, >0.
int MbsICompare(const char* a, const char* b);
// Case-sensitive, as the runtime's _mbscmp.
int MbsCompare(const char* a, const char* b);
