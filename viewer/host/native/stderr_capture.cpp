#include "viewer/host/stderr_capture.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace host {

StderrCapture::StderrCapture() {
    std::fflush(stderr);
    std::FILE* file = std::tmpfile();
    if (!file) return;
    m_file = dup(fileno(file));
    std::fclose(file);
    m_saved = dup(STDERR_FILENO);
    if (m_file < 0 || m_saved < 0 || dup2(m_file, STDERR_FILENO) < 0) {
        if (m_saved >= 0) close(m_saved);
        if (m_file >= 0) close(m_file);
        m_saved = m_file = -1;
    }
}

std::string StderrCapture::Finish() {
    if (m_saved < 0) return {};
    std::fflush(stderr);
    dup2(m_saved, STDERR_FILENO);
    close(m_saved);
    m_saved = -1;
    std::string text;
    char buffer[512];
    if (lseek(m_file, 0, SEEK_SET) == 0) {
        ssize_t got;
        while ((got = read(m_file, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
    }
    close(m_file);
    m_file = -1;
    return text;
}

StderrCapture::~StderrCapture() { Finish(); }

}  // namespace host
