#include "platform/text/mbcompare.h"

#include <mbstring.h>

namespace {

// The runtime stops the process on a null text; a missing text reads as empty.
const unsigned char* Bytes(const char* text) { return reinterpret_cast<const unsigned char*>(text ? text : ""); }

}  // namespace

int MbsICompare(const char* a, const char* b) { return _mbsicmp(Bytes(a), Bytes(b)); }

int MbsCompare(const char* a, const char* b) { return _mbscmp(Bytes(a), Bytes(b)); }
