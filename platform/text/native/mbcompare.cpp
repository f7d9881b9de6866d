#include "platform/text/mbcompare.h"

#include "platform/text/ansi_code_page.h"
#include "platform/text/ascii_fold.h"

#include <string_view>

namespace {

constexpr unsigned kByteBits = 8;

// Characters in the chosen code page, compared by value the way the
// runtime's multibyte comparisons do: a double-byte character as one value
// above every single byte, and only single-byte letters fold.
template <bool kFold>
int CompareCharacters(const char* a, const char* b) {
    const std::string_view left(a ? a : "");
    const std::string_view right(b ? b : "");
    size_t i = 0;
    size_t j = 0;
    // While both go on in ASCII, each byte is a character of its own.
    for (; i < left.size() && i < right.size(); ++i) {
        const auto ca = static_cast<unsigned char>(left[i]);
        const auto cb = static_cast<unsigned char>(right[i]);
        if (ca >= kFirstNonAsciiByte || cb >= kFirstNonAsciiByte) break;
        const unsigned fa = kFold ? AsciiFold(ca) : ca;
        const unsigned fb = kFold ? AsciiFold(cb) : cb;
        if (fa != fb) return fa < fb ? -1 : 1;
    }
    j = i;
    for (;;) {
        unsigned ca = 0;
        unsigned cb = 0;
        if (i < left.size()) {
            const size_t length = CharacterLength(left, i);
            const auto first = static_cast<unsigned char>(left[i]);
            ca = length == 2 ? (first << kByteBits) | static_cast<unsigned char>(left[i + 1])
                             : (kFold ? AsciiFold(first) : first);
            i += length;
        }
        if (j < right.size()) {
            const size_t length = CharacterLength(right, j);
            const auto first = static_cast<unsigned char>(right[j]);
            cb = length == 2 ? (first << kByteBits) | static_cast<unsigned char>(right[j + 1])
                             : (kFold ? AsciiFold(first) : first);
            j += length;
        }
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

}  // namespace

int MbsICompare(const char* a, const char* b) { return CompareCharacters<true>(a, b); }

int MbsCompare(const char* a, const char* b) { return CompareCharacters<false>(a, b); }
