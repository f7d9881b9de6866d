// Path splitting and the one equality rule: no crash, and the rule is an
// equivalence (a path equals itself, and the order of the two never matters);
// each part keeps to its buffer, and a path whose parts fit is the folder
// followed by the file name.
#include "platform/text/paths.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
constexpr size_t kMaxDrive = 2;
constexpr size_t kMaxPart = 255;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string all(reinterpret_cast<const char*>(data), size);
    const size_t cut = all.find('\n');
    const std::string a = all.substr(0, cut);
    const std::string b = cut == std::string::npos ? std::string() : all.substr(cut + 1);

    for (const std::string* path : {&a, &b}) {
        const PathParts parts = SplitPath(*path);
        const size_t drive = parts.drive.size();
        const size_t directory = parts.directory.size();
        const size_t base = parts.baseName.size();
        const size_t extension = parts.extension.size();
        if (drive > kMaxDrive || directory > kMaxPart || base > kMaxPart || extension > kMaxPart) std::abort();
        const bool fits = drive + directory + base + extension == path->size();
        if (fits && PathFolder(*path) + PathFileName(*path) != *path) std::abort();
        if (!PathsEqual(*path, *path)) std::abort();
    }
    if (PathsEqual(a, b) != PathsEqual(b, a)) std::abort();
    return 0;
}
