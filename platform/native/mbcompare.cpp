#include "platform/mbcompare.h"

#include "platform/ascii_compare.h"

// Without a runtime code page the texts are treated as single bytes.
int MbsICompare(const char* a, const char* b) { return AsciiICompare(a ? a : "", b ? b : ""); }

int MbsCompare(const char* a, const char* b) { return ByteCompare(a ? a : "", b ? b : ""); }
