// The log policy set for one test and removed afterwards, in the native
// build's registry store or under Wine in the prefix's real registry; and the
// log read back without the stamp that begins each line.
#pragma once

#include "pdm/save_policy.h"
#include "pdm/session_log.h"
#include "platform/system/registry_api.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <vector>

class ScopedLogPolicy {
public:
    // type: REG_SZ or REG_EXPAND_SZ; level: the LogLevel value, none when not set.
    ScopedLogPolicy(const std::string& path, DWORD type = REG_SZ, std::optional<DWORD> level = std::nullopt) {
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPdmPolicyKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                 KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, m_key.put(), nullptr));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(m_key.get(), kLogFileValue, 0, type,
                                                reinterpret_cast<const BYTE*>(path.c_str()),
                                                static_cast<DWORD>(path.size() + 1)));
        if (level) {
            EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(m_key.get(), kLogLevelValue, 0, REG_DWORD,
                                                    reinterpret_cast<const BYTE*>(&*level), sizeof(DWORD)));
        }
    }
    // The whole agent key goes, as with the template's policies.
    ~ScopedLogPolicy() {
        m_key.reset();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPdmPolicyKey);
    }
    ScopedLogPolicy(const ScopedLogPolicy&) = delete;
    ScopedLogPolicy& operator=(const ScopedLogPolicy&) = delete;

private:
    UniqueHkey m_key;
};

// The events of a log, one per line; every line must begin with its time,
// process id and thread id and end with CR LF.
inline std::vector<std::string> LogEvents(const std::string& path) {
    static const std::regex stamp(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z pid \d+ tid \d+ (.*)\r$)");
    std::vector<std::string> events;
    std::ifstream log(path, std::ios::binary);
    for (std::string line; std::getline(log, line);) {
        std::smatch match;
        if (std::regex_match(line, match, stamp)) events.push_back(match[1]);
        else events.push_back("<unstamped> " + line);
    }
    return events;
}
