#include "viewer/host/launch_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>

namespace host {
namespace {

constexpr char kWhitespace[] = " \t\r\n";
constexpr char kCommentMark = ';';

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(kWhitespace);
    return text.substr(first, last - first + 1);
}

std::string KeyOf(const std::string& section, const std::string& key) { return Lower(section) + "\n" + Lower(key); }

struct KindByExtension {
    const char* extension;
    long kind;
};
constexpr std::array kKinds = {
    KindByExtension{"pdf", 0},    KindByExtension{"dwg", 1},    KindByExtension{"dxf", 1},
    KindByExtension{"dwf", 1},    KindByExtension{"dgn", 1},    KindByExtension{"tif", 1},
    KindByExtension{"tiff", 1},   KindByExtension{"cgm", 1},    KindByExtension{"plt", 1},
    KindByExtension{"hpgl", 1},   KindByExtension{"png", 1},    KindByExtension{"bmp", 1},
    KindByExtension{"jpg", 1},    KindByExtension{"jt", 2},     KindByExtension{"step", 2},
    KindByExtension{"stp", 2},    KindByExtension{"igs", 2},    KindByExtension{"iges", 2},
    KindByExtension{"stl", 2},    KindByExtension{"wrl", 2},    KindByExtension{"vrml", 2},
    KindByExtension{"3dxml", 2},  KindByExtension{"x_t", 2},    KindByExtension{"prt", 2},
};

}  // namespace

bool LaunchFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    m_values.clear();
    std::string section;
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == kCommentMark) continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            section = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = KeyOf(section, Trim(line.substr(0, equals)));
        // The first of two equal keys wins, as in the viewer's profile reads.
        m_values.emplace(key, Trim(line.substr(equals + 1)));
    }
    return true;
}

std::string LaunchFile::Value(const std::string& section, const std::string& key) const {
    const auto found = m_values.find(KeyOf(section, key));
    return found == m_values.end() ? std::string() : found->second;
}

std::optional<long> KindFromServerPath(const std::string& serverPath) {
    const size_t separator = serverPath.find_last_of("\\/");
    const size_t dot = serverPath.rfind('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return std::nullopt;
    const std::string extension = Lower(serverPath.substr(dot + 1));
    for (const KindByExtension& entry : kKinds)
        if (extension == entry.extension) return entry.kind;
    return std::nullopt;
}

std::optional<long> KindFromName(const std::string& name) {
    if (name == "pdf") return 0;
    if (name == "2d") return 1;
    if (name == "3d") return 2;
    return std::nullopt;
}

const char* KindName(long kind) {
    switch (kind) {
        case 0: return "PDF";
        case 1: return "2D";
        case 2: return "3D";
        default: return "none";
    }
}

}  // namespace host
