// How the viewer hands a text out in a caller's buffer.
#pragma once

#include <algorithm>
#include <cstddef>

namespace nuvsim {

// Into room units: cut to leave room for a terminator, or, unterminated,
// filling the whole buffer, the rest with '#' so that a reader that looks for
// the terminator runs into text, not zeros. room is at least 1.
template <class Unit, class Text>
void CopyTextOut(const Text& text, Unit* buffer, size_t room, bool unterminated) {
    const size_t length = std::min<size_t>(text.size(), unterminated ? room : room - 1);
    std::copy_n(text.data(), length, buffer);
    if (unterminated) {
        std::fill(buffer + length, buffer + room, static_cast<Unit>('#'));
    } else {
        buffer[length] = 0;
    }
}

}  // namespace nuvsim
