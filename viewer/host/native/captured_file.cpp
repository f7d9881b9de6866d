#include "viewer/host/native/captured_file.h"

#include "viewer/host/debug_output_capture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace host {

CapturedFile::CapturedFile(const char* variable) : m_variable(variable) {
    if (const char* old = std::getenv(variable)) m_previous = old;
    char path[] = "/tmp/zelview-sim-capture-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return;
    close(fd);
    m_path = path;
    setenv(variable, path, 1);
}

CapturedFile::~CapturedFile() { Finish(); }

std::vector<std::string> CapturedFile::Finish() {
    if (m_path.empty()) return {};
    std::stringstream text;
    text << std::ifstream(m_path).rdbuf();
    std::remove(m_path.c_str());
    m_path.clear();
    if (m_previous) setenv(m_variable, m_previous->c_str(), 1);
    else unsetenv(m_variable);
    return TextLines(text.str());
}

}  // namespace host
