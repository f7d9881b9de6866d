#include "tests/module/agent_registration_checks.h"

#include "platform/system/event_log.h"
#include "tests/module/registry_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {
constexpr const char* kClassName = "DMAgent Class";
constexpr const char* kClsidText = "{FE4F5263-11D5-D724-D5BA-A978983B6369}";
constexpr const char* kLibidText = "{DE2BA9C8-CF2E-D1DF-8B64-441C516B64AE}";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<std::string> Default(const std::string& path) { return ReadString(HKEY_CLASSES_ROOT, path); }

const std::string kEventSources = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application";
// Errors, warnings and information.
constexpr DWORD kEventTypes = 7;
}  // namespace

void ExpectAgentRegistered(const std::string& modulePath) {
    EXPECT_EQ(Default(kProgId), kClassName);
    EXPECT_EQ(Default(kProgId + "\\CLSID"), kClsidText);
    EXPECT_EQ(Default(kIndependentProgId), kClassName);
    EXPECT_EQ(Default(kIndependentProgId + "\\CLSID"), kClsidText);
    EXPECT_EQ(Default(kIndependentProgId + "\\CurVer"), kProgId);
    EXPECT_EQ(Default(kClassKey), kClassName);
    EXPECT_EQ(Default(kClassKey + "\\ProgID"), kProgId);
    EXPECT_EQ(Default(kClassKey + "\\VersionIndependentProgID"), kIndependentProgId);
    const auto server = Default(kClassKey + "\\InprocServer32");
    ASSERT_TRUE(server.has_value()) << "no default value at " << kClassKey << "\\InprocServer32";
    EXPECT_EQ(Lower(*server), Lower(modulePath));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(Default(kClassKey + "\\TypeLib"), kLibidText);
    // Event Viewer finds the texts of the agent's events in the module.
    EXPECT_EQ(std::string(kEventSourceKey), kEventSources + "\\" + kEventSourceName);
    const auto messages = ReadString(HKEY_LOCAL_MACHINE, kEventSourceKey, "EventMessageFile", REG_EXPAND_SZ);
    ASSERT_TRUE(messages.has_value()) << "no REG_EXPAND_SZ EventMessageFile at " << kEventSourceKey;
    EXPECT_EQ(Lower(*messages), Lower(modulePath));
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, kEventSourceKey, "TypesSupported"), kEventTypes);
}

void ExpectAgentUnregistered() {
    for (const std::string& key : {kProgId, kIndependentProgId, kClassKey})
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << key << " = " << testing::PrintToString(Default(key));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID")) << "the shared CLSID key went with the agent's";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEventSourceKey));
}
