// DMAgent: stands in for the PDM front end's save command in tests. It
// appends the argument vector it received, as one line, to the file named by
// ZEL_RECORDER_OUT: every item, argv[0] included, followed by a tab, so that
// an empty item shows as two tabs in a row and a blank inside an item stays
// inside it. A tab inside an item is written as <TAB>.
//
// Windows also appends the raw command line (GetCommandLineA) to the same
// file name with ".cmdline" added, to show what the interpreter passed on.
// When ZEL_RECORDER_SHOW names an environment variable, its value (or
// <unset>) is appended to the file name with ".env" added, to show the
// environment the program was started with.
#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
constexpr char kOutputVariable[] = "ZEL_RECORDER_OUT";
constexpr char kCommandLineSuffix[] = ".cmdline";
constexpr char kShownVariable[] = "ZEL_RECORDER_SHOW";
constexpr char kEnvironmentSuffix[] = ".env";
constexpr char kUnset[] = "<unset>";
constexpr int kNoOutputFile = 2;
constexpr int kWriteFailed = 3;
constexpr char kItemEnd = '\t';
constexpr char kTabInItem[] = "<TAB>";

bool AppendLine(const std::string& file, std::string line) {
    line += '\n';
    std::FILE* out = std::fopen(file.c_str(), "ab");
    if (!out) return false;
    const bool written = std::fwrite(line.data(), 1, line.size(), out) == line.size();
    return std::fclose(out) == 0 && written;
}
}  // namespace

int main(int argc, char** argv) {
    const char* output = std::getenv(kOutputVariable);
    if (!output || !*output) return kNoOutputFile;
#ifdef _WIN32
    // Written first: a test that sees the argument line may read this one.
    if (!AppendLine(std::string(output) + kCommandLineSuffix, GetCommandLineA())) return kWriteFailed;
#endif
    if (const char* shown = std::getenv(kShownVariable); shown && *shown) {
        const char* value = std::getenv(shown);
        if (!AppendLine(std::string(output) + kEnvironmentSuffix, value ? value : kUnset)) return kWriteFailed;
    }
    std::string line;
    for (int i = 0; i < argc; ++i) {
        for (const char* c = argv[i]; *c; ++c) {
            if (*c == kItemEnd) line += kTabInItem;
            else line += *c;
        }
        line += kItemEnd;
    }
    return AppendLine(output, line) ? 0 : kWriteFailed;
}
