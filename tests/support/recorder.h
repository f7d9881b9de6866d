// The recorder program (tests/tools) stands in for the PDM front end's save
// command: it appends the argument vector it got to the file named by
// ZEL_RECORDER_OUT. A test points that variable at a fresh file and waits for
// the detached program to write.
#pragma once

#include "tests/support/scoped_env.h"
#include "tests/support/wait_scale.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

// The recorder stands beside the test executable.
inline std::string RecorderPath() {
#ifdef _WIN32
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path(self, length);
    return path.substr(0, path.rfind('\\') + 1) + "DMAgent.exe";
#else
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "DMAgent").string();
#endif
}

// The items of one recorded line, argv[0] first; the recorder writes a tab
// inside an item as <TAB>.
inline std::vector<std::string> RecordedItems(const std::string& record) {
    static const std::string kTabInItem = "<TAB>";
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t tab; (tab = record.find('\t', start)) != std::string::npos; start = tab + 1) {
        std::string item = record.substr(start, tab - start);
        for (size_t at; (at = item.find(kTabInItem)) != std::string::npos;) item.replace(at, kTabInItem.size(), "\t");
        items.push_back(item);
    }
    return items;
}

// The items after the program's own name.
inline std::vector<std::string> RecordedArguments(const std::string& record) {
    std::vector<std::string> items = RecordedItems(record);
    if (!items.empty()) items.erase(items.begin());
    return items;
}

class RecorderOutput {
public:
    RecorderOutput()
        : m_path(std::filesystem::temp_directory_path() /
                 ("zel-recorder-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))),
          m_env(std::make_unique<ScopedEnv>("ZEL_RECORDER_OUT", m_path.string())) {}
    ~RecorderOutput() {
        m_env.reset();
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
        std::filesystem::remove(CommandLinePath(), ignored);
    }
    RecorderOutput(const RecorderOutput&) = delete;
    RecorderOutput& operator=(const RecorderOutput&) = delete;

    // The first recorded line; waits up to `wait` for it.
    std::string WaitForRecord(std::chrono::milliseconds wait = std::chrono::seconds(10)) const {
        const auto deadline = std::chrono::steady_clock::now() + ScaledWait(wait);
        do {
            const std::string content = Content();
            const size_t end = content.find('\n');
            if (end != std::string::npos) return content.substr(0, end);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } while (std::chrono::steady_clock::now() < deadline);
        return "<nothing recorded>";
    }

    std::string Content() const { return ReadAll(m_path); }

    // Forgets what was recorded, for a test that saves more than once.
    void Clear() const {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
        std::filesystem::remove(CommandLinePath(), ignored);
    }

    // Windows: the raw command lines the recorder was started with, for
    // failure messages; empty natively.
    std::string CommandLines() const { return ReadAll(CommandLinePath()); }

private:
    std::filesystem::path CommandLinePath() const { return m_path.string() + ".cmdline"; }

    static std::string ReadAll(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path m_path;
    std::unique_ptr<ScopedEnv> m_env;
};
