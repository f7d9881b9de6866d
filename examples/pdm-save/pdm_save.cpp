// pdm-save: a sample of the command a PDM front end names as DMAgent in its
// launch files. The agent starts it as
//   pdm-save MarkupSave <session id> <server file> <markup file name> <application>
// A real front end would upload the markup; this one shows what it was given
// and appends it, one line per call, to the file named by PDM_SAVE_LOG, each
// argument in brackets so that empty ones stay visible.
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
constexpr char kLogVariable[] = "PDM_SAVE_LOG";
constexpr int kNoLogFile = 2;
constexpr int kWriteFailed = 3;
constexpr int kNotAMarkupSave = 4;
constexpr char kVerb[] = "MarkupSave";
constexpr const char* kItemNames[] = {"verb", "session id", "server file", "markup file", "application"};
}  // namespace

int main(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) line += std::string(i > 1 ? " " : "") + "[" + argv[i] + "]";
    std::printf("pdm-save: %s\n", line.c_str());
    for (int i = 1; i < argc; ++i) {
        const char* name = i - 1 < static_cast<int>(std::size(kItemNames)) ? kItemNames[i - 1] : "extra";
        std::printf("  %-12s %s\n", name, argv[i]);
    }
    std::fflush(stdout);

    const char* log = std::getenv(kLogVariable);
    if (!log || !*log) return kNoLogFile;
    std::FILE* file = std::fopen(log, "ab");
    if (!file) return kWriteFailed;
    line += '\n';
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    if (std::fclose(file) != 0 || !written) return kWriteFailed;
    return argc > 1 && std::string(argv[1]) == kVerb ? 0 : kNotAMarkupSave;
}
