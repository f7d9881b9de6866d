// The view list as the agent left it in the viewer's agent data: the host
// reads it back to report what the agent took from the launch file.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace host {

struct StoredMarkup {
    std::string location;
    std::string objectId;
    std::string localPath;
};

struct StoredViewList {
    long block = -1;
    std::map<std::string, std::string> values;  // "[Section]Key" -> value
    std::string Value(const std::string& section, const std::string& key) const;
    std::vector<StoredMarkup> Markups() const;
};

// The agent's block for the document key; nothing when the agent wrote none.
std::optional<StoredViewList> ReadStoredViewList(long firstKey, long secondKey);

}  // namespace host
