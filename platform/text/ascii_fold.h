// The one case rule of the agent's own text comparisons, the one the
// runtime's multibyte comparisons apply to single bytes: letters A-Z fold to
// a-z; every other byte stays as it is.
#pragma once

constexpr unsigned char AsciiFold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}
