// The byte-wise comparisons that stand in for the runtime's multibyte ones
// where there is no runtime library (the native build); built everywhere so
// that the Windows tests can hold them against the real runtime.
#pragma once

// Letters A-Z and a-z equal ignoring case (compared in lower case); every
// other byte compared as an unsigned value. <0, 0, >0.
int AsciiICompare(const char* a, const char* b);
// Every byte compared as an unsigned value. <0, 0, >0.
int ByteCompare(const char* a, const char* b);
