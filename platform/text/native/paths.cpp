#include "platform/text/paths.h"

#include "platform/text/ansi_code_page.h"
#include "platform/text/ascii_fold.h"

namespace {

// Every lead byte of the double-byte code pages lies at or above this.
constexpr unsigned char kFirstNonAscii = 0x80;

// A byte of a path as the comparison sees it: past the end (or at an embedded
// zero, where the text ends for the comparison) 0.
unsigned char ByteAt(const std::string& path, size_t i) {
    return i < path.size() ? static_cast<unsigned char>(path[i]) : 0;
}

unsigned char SlashAsBackslash(unsigned char c) { return c == '/' ? '\\' : c; }

// A single-byte character as the comparison sees it: "/" as "\", A-Z folded.
unsigned char Folded(unsigned char c) {
    return AsciiFold(SlashAsBackslash(c));
}

}  // namespace

// The native launcher runs programs of this system, whose paths begin at its
// root; a "\" counts as "/" here, as it does when paths are compared.
bool IsFullPath(const std::string& path) {
    return IsDriveOrServerPath(path) || (!path.empty() && (path.front() == '/' || path.front() == '\\'));
}

// The runtime's rule without a runtime: paths are compared where they lie
// rather than through separator-replaced copies, since the view list compares
// paths for every entry it restores. A double-byte character is compared as
// it stands: its second byte is neither a letter to fold nor a separator.
bool PathsEqual(const std::string& a, const std::string& b) {
    for (size_t i = 0;; ++i) {
        const unsigned char ca = ByteAt(a, i);
        const unsigned char cb = ByteAt(b, i);
        if (Folded(ca) != Folded(cb)) return false;
        if (ca == 0) return true;
        if (ca < kFirstNonAscii || !IsLeadByte(ca)) continue;
        // The same lead byte on both sides: where either opens a pair, the
        // pairs must be the same. The rule compares the texts with "/"
        // replaced, so a "/" after a lead byte counts as the "\" it becomes.
        const unsigned char na = SlashAsBackslash(ByteAt(a, i + 1));
        const unsigned char nb = SlashAsBackslash(ByteAt(b, i + 1));
        if (!IsTrailByte(na) && !IsTrailByte(nb)) continue;
        if (na != nb) return false;
        ++i;
    }
}
