// Path splitting and the one equality rule: no crash, and the rule is an
// equivalence (a path equals itself, and the order of the two never matters).
#include "platform/paths.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string all(reinterpret_cast<const char*>(data), size);
    const size_t cut = all.find('\n');
    const std::string a = all.substr(0, cut);
    const std::string b = cut == std::string::npos ? std::string() : all.substr(cut + 1);

    for (const std::string* path : {&a, &b}) {
        PathDrive(*path);
        PathDirectory(*path);
        PathBaseName(*path);
        PathExtension(*path);
        PathFolder(*path);
        PathFileName(*path);
        if (!PathsEqual(*path, *path)) std::abort();
    }
    if (PathsEqual(a, b) != PathsEqual(b, a)) std::abort();
    return 0;
}
