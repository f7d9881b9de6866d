// DMAgent: stands in for the PDM front end's save command in tests. It
// appends the command line it received, as one line, to the file named by
// ZEL_RECORDER_OUT.
//
// Windows: the raw command line (GetCommandLineA), so that doubled blanks
// and any quoting the interpreter added stay visible.
// Native: every argv item, argv[0] included, each followed by a tab; an
// empty item shows as two tabs in a row.
#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
constexpr char kOutputVariable[] = "ZEL_RECORDER_OUT";
constexpr int kNoOutputFile = 2;
constexpr int kWriteFailed = 3;
}  // namespace

int main(int argc, char** argv) {
    const char* output = std::getenv(kOutputVariable);
    if (!output || !*output) return kNoOutputFile;
#ifdef _WIN32
    std::string line = GetCommandLineA();
#else
    std::string line;
    for (int i = 0; i < argc; ++i) {
        line += argv[i];
        line += '\t';
    }
#endif
    line += '\n';
    std::FILE* file = std::fopen(output, "ab");
    if (!file) return kWriteFailed;
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && written ? 0 : kWriteFailed;
}
