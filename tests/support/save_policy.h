// The machine policy that pins the save programs, set for one test and
// removed afterwards: in the native build's registry store of the test, or
// under Wine in the prefix's real registry (which every Wine test shares, so
// the tests that set it run one at a time).
#pragma once

#include "pdm/save_policy.h"
#include "platform/registry_api.h"

#include <gtest/gtest.h>

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
