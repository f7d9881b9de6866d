// The Group Policy template that the package ships: it writes the keys and
// values the agent reads, and every text it refers to is in its language
// file (Group Policy editors refuse a template with a dangling reference).
// That both are well-formed XML is checked by xmllint (tests/package).
#include "pdm/save_policy.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string ReadTemplateFile(const std::string& name) {
    std::ifstream in(std::string(ZEL_SOURCE_DIR "/package/PolicyDefinitions/") + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The attributes of each element with that tag, in document order.
std::vector<std::map<std::string, std::string>> Elements(const std::string& xml, const std::string& tag) {
    std::vector<std::map<std::string, std::string>> found;
    const std::regex element("<" + tag + "\\s([^>]*)>");
    const std::regex attribute("([A-Za-z]+)=\"([^\"]*)\"");
    for (std::sregex_iterator e(xml.begin(), xml.end(), element), end; e != end; ++e) {
        std::map<std::string, std::string> attributes;
        const std::string inside = (*e)[1];
        for (std::sregex_iterator a(inside.begin(), inside.end(), attribute); a != end; ++a)
            attributes[(*a)[1]] = (*a)[2];
        found.push_back(attributes);
    }
    return found;
}

std::set<std::string> Matches(const std::string& text, const std::string& pattern) {
    std::set<std::string> found;
    const std::regex expression(pattern);
    for (std::sregex_iterator m(text.begin(), text.end(), expression), end; m != end; ++m) found.insert((*m)[1]);
    return found;
}

class PolicyTemplate : public testing::Test {
protected:
    std::string m_admx = ReadTemplateFile("ZelDMAgent.admx");
    std::string m_adml = ReadTemplateFile("en-US/ZelDMAgent.adml");
};

TEST_F(PolicyTemplate, WritesTheSwitchAndTheListTheAgentReads) {
    const auto policies = Elements(m_admx, "policy");
    ASSERT_EQ(policies.size(), 1u) << m_admx;
    EXPECT_EQ(policies[0].at("class"), "Machine");
    EXPECT_EQ(policies[0].at("key"), kPdmPolicyKey);
    EXPECT_EQ(policies[0].at("valueName"), kRestrictSaveCommandsValue);
    // Enabled switches the restriction on, Disabled off.
    EXPECT_EQ(Matches(m_admx, R"re(<enabledValue>\s*<decimal value="(\d+)"\s*/>)re"), std::set<std::string>{"1"});
    EXPECT_EQ(Matches(m_admx, R"re(<disabledValue>\s*<decimal value="(\d+)"\s*/>)re"), std::set<std::string>{"0"});

    const auto lists = Elements(m_admx, "list");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].at("key"), kAllowedSaveCommandsKey);
    // Values named 1, 2, ... and written expandable, which the agent expands.
    EXPECT_EQ(lists[0].at("valuePrefix"), "");
    EXPECT_EQ(lists[0].at("expandable"), "true");
    EXPECT_EQ(lists[0].count("additive"), 0u) << "the list replaces what was there";
}

TEST_F(PolicyTemplate, EveryTextAndPresentationItRefersToIsInItsLanguageFile) {
    const std::set<std::string> strings = Matches(m_admx, R"re(\$\(string\.([A-Za-z0-9_]+)\))re");
    const std::set<std::string> presentations = Matches(m_admx, R"re(\$\(presentation\.([A-Za-z0-9_]+)\))re");
    const std::set<std::string> elements = Matches(m_admx, R"re(<list id="([A-Za-z0-9_]+)")re");
    EXPECT_FALSE(strings.empty());
    EXPECT_EQ(strings, Matches(m_adml, R"re(<string id="([A-Za-z0-9_]+)")re"));
    EXPECT_EQ(presentations, Matches(m_adml, R"re(<presentation id="([A-Za-z0-9_]+)")re"));
    EXPECT_EQ(elements, Matches(m_adml, R"re(refId="([A-Za-z0-9_]+)")re"));
    // Categories and supported-on definitions are referred to by name.
    EXPECT_EQ(Matches(m_admx, R"re(<category name="([A-Za-z0-9_]+)")re"),
              Matches(m_admx, R"re(<parentCategory ref="([A-Za-z0-9_]+)")re"));
    EXPECT_EQ(Matches(m_admx, R"re(<definition name="([A-Za-z0-9_]+)")re"),
              Matches(m_admx, R"re(<supportedOn ref="([A-Za-z0-9_]+)")re"));
}

}  // namespace
