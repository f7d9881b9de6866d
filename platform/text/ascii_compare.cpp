#include "platform/text/ascii_compare.h"

namespace {

unsigned FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned>(c - 'A' + 'a') : c;
}

template <typename Fold>
int CompareBytes(const char* a, const char* b, Fold fold) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a);
    const auto* pb = reinterpret_cast<const unsigned char*>(b);
    for (;; ++pa, ++pb) {
        const unsigned ca = fold(*pa);
        const unsigned cb = fold(*pb);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

}  // namespace

int AsciiICompare(const char* a, const char* b) { return CompareBytes(a, b, FoldAscii); }

int ByteCompare(const char* a, const char* b) {
    return CompareBytes(a, b, [](unsigned char c) { return static_cast<unsigned>(c); });
}
