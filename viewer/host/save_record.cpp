#include "viewer/host/save_record.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace host {
namespace {
constexpr char kSampleCommandVariable[] = "PDM_SAVE_LOG";
constexpr char kRecorderVariable[] = "ZEL_RECORDER_OUT";
constexpr auto kPollInterval = std::chrono::milliseconds(50);

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

std::string RecordFile(const std::string& given) {
    if (!given.empty()) return given;
    for (const char* name : {kSampleCommandVariable, kRecorderVariable})
        if (const char* value = std::getenv(name); value && *value) return value;
    return {};
}

SaveRecordWatch::SaveRecordWatch(std::string path) : m_path(std::move(path)) {
    if (!m_path.empty()) m_start = ReadAll(m_path).size();
}

std::string SaveRecordWatch::WaitForNew(double seconds) const {
    if (m_path.empty()) return {};
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(seconds));
    for (;;) {
        const std::string text = ReadAll(m_path);
        // A line is complete once its line end is there.
        if (text.size() > m_start && text.back() == '\n') return text.substr(m_start);
        if (std::chrono::steady_clock::now() >= deadline)
            return text.size() > m_start ? text.substr(m_start) : std::string();
        std::this_thread::sleep_for(kPollInterval);
    }
}

}  // namespace host
