// The machine policy that pins the save programs, set for one test and
// removed afterwards: in the native build's registry store of the test, or
// under Wine in the prefix's real registry (which every Wine test shares, so
// the tests that set it run one at a time).
#pragma once

#include "pdm/save_policy.h"
#include "platform/system/registry_api.h"
#include "platform/com/string_ids.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

class ScopedSaveCommandsPolicy {
public:
    // The key with one string value per program, named 1, 2, ...
    explicit ScopedSaveCommandsPolicy(const std::vector<std::string>& programs) {
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSaveCommandsPolicyKey, 0, nullptr,
                                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                                                 m_key.put(), nullptr));
        for (size_t i = 0; i < programs.size(); ++i) AddString(std::to_string(i + 1), programs[i]);
    }
    ~ScopedSaveCommandsPolicy() {
        m_key.reset();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSaveCommandsPolicyKey);
    }
    ScopedSaveCommandsPolicy(const ScopedSaveCommandsPolicy&) = delete;
    ScopedSaveCommandsPolicy& operator=(const ScopedSaveCommandsPolicy&) = delete;

    void AddString(const std::string& name, const std::string& text) {
        Add(name, REG_SZ, text.c_str(), text.size() + 1);
    }
    void Add(const std::string& name, DWORD type, const void* data, size_t size) {
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(m_key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                                static_cast<DWORD>(size)));
    }

private:
    UniqueHkey m_key;
};

// The Group Policy template's "Restrict save programs" as Group Policy leaves
// it in the registry: Enabled writes RestrictSaveCommands = 1 and the list
// (REG_EXPAND_SZ values named 1, 2, ...: the template's list is expandable),
// Disabled writes 0 and leaves the list key empty, Not configured removes the
// value and may leave the empty list key behind. Removing it removes the
// agent's whole policy key.
class ScopedGroupPolicy {
public:
    static ScopedGroupPolicy Enabled(const std::vector<std::string>& entries) { return ScopedGroupPolicy(1, entries); }
    static ScopedGroupPolicy Disabled() { return ScopedGroupPolicy(0, {}); }
    static ScopedGroupPolicy NotConfigured() { return ScopedGroupPolicy(std::nullopt, {}); }

    // restrict: the switch's number, none when not configured.
    ScopedGroupPolicy(std::optional<DWORD> restrict, const std::vector<std::string>& entries) {
        UniqueHkey agentKey;
        UniqueHkey listKey;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPdmPolicyKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                 KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, agentKey.put(), nullptr));
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAllowedSaveCommandsKey, 0, nullptr,
                                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                                                 listKey.put(), nullptr));
        if (restrict) {
            EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(agentKey.get(), kRestrictSaveCommandsValue, 0, REG_DWORD,
                                                    reinterpret_cast<const BYTE*>(&*restrict), sizeof(DWORD)));
        }
        for (size_t i = 0; i < entries.size(); ++i)
            EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(listKey.get(), std::to_string(i + 1).c_str(), 0, REG_EXPAND_SZ,
                                                    reinterpret_cast<const BYTE*>(entries[i].c_str()),
                                                    static_cast<DWORD>(entries[i].size() + 1)));
    }
    // The factories' results are never copied or moved (guaranteed elision).
    ScopedGroupPolicy(const ScopedGroupPolicy&) = delete;
    ScopedGroupPolicy& operator=(const ScopedGroupPolicy&) = delete;
    ~ScopedGroupPolicy() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPdmPolicyKey); }
};

// The template's states, each beside a hand-written list or none; both
// builds run them with the recorder as DMAgent.
inline constexpr char kRecorderEntry[] = "<the recorder>";
struct GroupPolicyCase {
    const char* name;
    std::optional<DWORD> restrict;                   // none: not configured
    std::vector<std::string> listed;                 // the template's list
    std::optional<std::vector<std::string>> byHand;  // a hand-written list beside it
    unsigned refusal;                                // 0: the save runs
};

inline const GroupPolicyCase kGroupPolicyCases[] = {
    {"NotConfiguredLeavesAnEmptyListKeyThatAllowsAll", std::nullopt, {}, std::nullopt, 0},
    {"NotConfiguredKeepsAHandWrittenList", std::nullopt, {}, std::vector<std::string>{"C:\\PDM\\pdm-save.exe"},
     IDS_SAVE_PROGRAM_NOT_ALLOWED},
    {"EnabledWithTheProgramOverAnEmptyHandWrittenList", 1, {"C:\\PDM\\pdm-save.exe", kRecorderEntry},
     std::vector<std::string>{}, 0},
    {"EnabledWithAnotherProgram", 1, {"C:\\PDM\\pdm-save.exe"}, std::nullopt, IDS_SAVE_PROGRAM_NOT_ALLOWED},
    {"EnabledWithNoEntryAllowsNothing", 1, {}, std::nullopt, IDS_SAVE_NO_PROGRAM_ALLOWED},
    {"DisabledOverAHandWrittenListAllowsAll", 0, {}, std::vector<std::string>{"C:\\PDM\\pdm-save.exe"}, 0},
    {"AnyOtherNumberRestricts", 2, {"C:\\PDM\\pdm-save.exe"}, std::nullopt, IDS_SAVE_PROGRAM_NOT_ALLOWED},
};

inline void PrintTo(const GroupPolicyCase& c, std::ostream* out) { *out << c.name; }
inline std::string GroupPolicyCaseName(const testing::TestParamInfo<GroupPolicyCase>& info) { return info.param.name; }

// The case's entries with the recorder's path in its place.
inline std::vector<std::string> WithRecorder(std::vector<std::string> entries, const std::string& recorder) {
    for (std::string& entry : entries)
        if (entry == kRecorderEntry) entry = recorder;
    return entries;
}
