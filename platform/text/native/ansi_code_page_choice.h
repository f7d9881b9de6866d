// The native build has no system code page: tests choose the one it stands
// in for. With a double-byte code page chosen, character boundaries follow
// that code page, and texts convert to wide text byte for byte (see
// platform/text/native/codepage.cpp) so that every ANSI text survives the trip
// through the viewer's wide interfaces.
#pragma once

inline constexpr unsigned kUtf8CodePage = 65001;

// 65001 (UTF-8, the default) or one of 932, 936, 949, 950; false, and no
// change, for any other.
bool ChooseAnsiCodePage(unsigned codePage);
