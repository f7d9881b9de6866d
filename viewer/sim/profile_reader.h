// Values of the launch file, which is an INI file: "[Section]" lines and
// "key = value" lines.
#pragma once

#include "viewer/sim/wide_text.h"

#include <string>

namespace nuvsim {

// The value of key in section, whole; empty when the file, the section or the
// key is missing. Section and key names compare without regard to case and
// without their surrounding blanks; a value loses its surrounding blanks and
// one pair of matching quotes around it; only the first section of a name and
// the first key of a name in it count.
WideText ReadProfileText(const std::string& file, const WideText& section, const WideText& key);

// Drops whatever the reader keeps of files read before: the next read sees
// the file as it is now, even when it was rewritten within the same tick.
void ForgetProfileReads();

}  // namespace nuvsim
