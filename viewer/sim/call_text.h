// Arguments of viewer calls written as readable text for the call log.
#pragma once

#include "platform/com/com.h"

#include <initializer_list>
#include <string>

namespace nuvsim {

// "text" as given (a backslash stays one backslash); null as null.
std::string Quote(const char* text);
std::string QuoteWide(const WCHAR* text);
std::string Number(long value);
// The name of an identifier the viewer knows (IPdfDocument, AgentHelper,
// 3DViewKind, ...), else its braced text.
std::string GuidName(REFGUID guid);
std::string GuidText(REFGUID guid);
// label, or null for a null pointer.
std::string PointerArg(const void* pointer, const char* label);
std::string Join(std::initializer_list<std::string> parts);

}  // namespace nuvsim
