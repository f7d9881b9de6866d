#include "platform/text/codepage.h"

std::string WideToAnsi(const WCHAR* text, size_t maxChars, size_t* unitsRead) {
    std::string ansi;
    size_t units = 0;
    // Most texts the viewer hands over are plain ASCII, the same in every
    // code page; only the others go to the build's conversion.
    if (text != nullptr && !AsciiFromWide(text, maxChars, units, ansi)) ansi = WideToCodePage(text, maxChars, units);
    if (unitsRead) *unitsRead = units;
    return ansi;
}
