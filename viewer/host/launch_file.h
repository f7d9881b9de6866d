// The host's own look at the launch file: the values it reports beside what
// the agent did, and the document kind the viewer would choose for it. The
// agent itself reads the launch file only through the viewer.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace host {

class LaunchFile {
public:
    // False when the file cannot be read.
    bool Load(const std::string& path);
    // Section and key names match ignoring case, as the viewer's profile
    // reads do; a missing value is empty.
    std::string Value(const std::string& section, const std::string& key) const;

private:
    std::map<std::string, std::string> m_values;  // "section\nkey", lower case
};

// 0 PDF, 1 2D, 2 3D by the server file's extension; nothing when unknown.
std::optional<long> KindFromServerPath(const std::string& serverPath);
// 0, 1, 2 for "pdf", "2d", "3d".
std::optional<long> KindFromName(const std::string& name);
const char* KindName(long kind);

}  // namespace host
