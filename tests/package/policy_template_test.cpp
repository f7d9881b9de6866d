// The Group Policy template that the package ships: it writes the keys and
// values the agent reads, and every text it refers to is in its language
// file (Group Policy editors refuse a template with a dangling reference).
// That both are well-formed XML is checked by xmllint (tests/package).
#include "pdm/save_policy.h"
#include "pdm/session_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

using Names = std::set<std::string>;

std::string ReadTemplateFile(const std::string& name) {
    std::ifstream in(std::string(ZEL_SOURCE_DIR "/package/PolicyDefinitions/") + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first group of every match.
Names Matches(const std::string& text, const std::string& pattern) {
    Names found;
    const std::regex expression(pattern);
    for (std::sregex_iterator m(text.begin(), text.end(), expression), end; m != end; ++m) found.insert((*m)[1]);
    return found;
}

const std::string kAdmx = ReadTemplateFile("ZelDMAgent.admx");
const std::string kAdml = ReadTemplateFile("en-US/ZelDMAgent.adml");

TEST(PolicyTemplate, WritesTheSwitchAndTheListTheAgentReads) {
    EXPECT_EQ(Matches(kAdmx, R"re(<policy [^>]*class="([^"]*)")re"), Names{"Machine"}) << kAdmx;
    EXPECT_EQ(Matches(kAdmx, R"re(<policy [^>]*key="([^"]*)")re"), Names{kPdmPolicyKey});
    EXPECT_EQ(Matches(kAdmx, R"re(<policy [^>]*valueName="([^"]*)")re"),
              (Names{kRestrictSaveCommandsValue, kEventLogValue}));
    // Enabled switches the restriction on, Disabled off.
    EXPECT_EQ(Matches(kAdmx, R"re(<enabledValue>\s*<decimal value="(\d+)"\s*/>)re"), Names{"1"});
    EXPECT_EQ(Matches(kAdmx, R"re(<disabledValue>\s*<decimal value="(\d+)"\s*/>)re"), Names{"0"});
    // The list replaces what was there, as values named 1, 2, ... written
    // expandable, which the agent expands.
    EXPECT_EQ(Matches(kAdmx, R"re(<list [^>]*key="([^"]*)")re"), Names{kAllowedSaveCommandsKey});
    EXPECT_EQ(Matches(kAdmx, R"re(<list [^>]*valuePrefix="([^"]*)")re"), Names{""});
    EXPECT_EQ(Matches(kAdmx, R"re(<list [^>]*expandable="([^"]*)")re"), Names{"true"});
    EXPECT_EQ(Matches(kAdmx, R"re(<list [^>]*(additive)=)re"), Names{});
}

// The log: a full path, expanded by the agent, and a level of 1 or 2, both in
// the agent's key; neither in any other.
TEST(PolicyTemplate, WritesTheLogFileAndLevelTheAgentReads) {
    EXPECT_EQ(Matches(kAdmx, R"re(<text [^>]*valueName="([^"]*)")re"), Names{kLogFileValue});
    EXPECT_EQ(Matches(kAdmx, R"re(<text [^>]*expandable="([^"]*)")re"), Names{"true"});
    EXPECT_EQ(Matches(kAdmx, R"re(<text [^>]*(key)=)re"), Names{});
    EXPECT_EQ(Matches(kAdmx, R"re(<enum [^>]*valueName="([^"]*)")re"), Names{kLogLevelValue});
    EXPECT_EQ(Matches(kAdmx, R"re(<enum [^>]*(key)=)re"), Names{});
    EXPECT_EQ(Matches(kAdmx, R"re(<item [^>]*>\s*<value>\s*<decimal value="(\d+)")re"), (Names{"1", "2"}));
    EXPECT_EQ(Matches(kAdmx, R"re(<policy name="AgentLog"[^>]*key="([^"]*)")re"), Names{kPdmPolicyKey});
}

// The event log: Disabled writes the 0 that keeps refusals out of it;
// Enabled writes a number the agent reads as on.
TEST(PolicyTemplate, SwitchesTheEventLogWithTheValueTheAgentReads) {
    const Names found = Matches(kAdmx, R"re((<policy name="EventLog"[\s\S]*?</policy>))re");
    ASSERT_EQ(found.size(), 1u) << "one EventLog policy";
    const std::string& policy = *found.begin();
    EXPECT_EQ(Matches(policy, R"re(<policy [^>]*key="([^"]*)")re"), Names{kPdmPolicyKey});
    EXPECT_EQ(Matches(policy, R"re(<policy [^>]*valueName="([^"]*)")re"), Names{kEventLogValue});
    EXPECT_EQ(Matches(policy, R"re(<disabledValue>\s*<decimal value="(\d+)"\s*/>)re"), Names{"0"});
    EXPECT_EQ(Matches(policy, R"re(<enabledValue>\s*<decimal value="(\d+)"\s*/>)re"), Names{"1"});
}

TEST(PolicyTemplate, EveryNameItRefersToIsDefined) {
    const Names strings = Matches(kAdmx, R"re(\$\(string\.(\w+)\))re");
    EXPECT_FALSE(strings.empty());
    EXPECT_EQ(strings, Matches(kAdml, R"re(<string id="(\w+)")re"));
    EXPECT_EQ(Matches(kAdmx, R"re(\$\(presentation\.(\w+)\))re"), Matches(kAdml, R"re(<presentation id="(\w+)")re"));
    EXPECT_EQ(Matches(kAdmx, R"re(<(?:list|text|enum) id="(\w+)")re"), Matches(kAdml, R"re(refId="(\w+)")re"));
    EXPECT_EQ(Matches(kAdmx, R"re(<category name="(\w+)")re"), Matches(kAdmx, R"re(<parentCategory ref="(\w+)")re"));
    EXPECT_EQ(Matches(kAdmx, R"re(<definition name="(\w+)")re"), Matches(kAdmx, R"re(<supportedOn ref="(\w+)")re"));
}

}  // namespace
