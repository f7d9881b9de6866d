// The launch file as the stand-in viewer reads it. The Windows build asks the
// system's profile API, the native build its own reader: both must give these
// answers for the same bytes, or the agent's tests would mean different things.
#include "interfaces/viewer_interfaces.h"
#include "platform/com/com_ptr.h"
#include "tests/support/raw_call.h"
#include "viewer/sim_control.h"
#include "interfaces/guids.h"
#include "tests/support/hresult.h"
#include "tests/support/viewer_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#ifdef _WIN32
#define W(text) L##text
#else
#define W(text) u##text
#endif

namespace {

using Wide = std::basic_string<WCHAR>;

constexpr int kMarkupManagerReadSlot = 44;

// The cases of one file, with CR LF line ends as PDM front ends write them.
const char kLaunchLines[] =
    "; the view list\r\n"
    "\r\n"
    "[S]\r\n"
    "plain=hello\r\n"
    "spaced =   some value  \r\n"
    "quoted = \"in quotes\" \r\n"
    "squoted='single'\r\n"
    "halfquote=\"open\r\n"
    "bothquoted=\"a\" b \"c\"\r\n"
    "emptyquotes=\"\"\r\n"
    "dup=first\r\n"
    "dup=second\r\n"
    "  ; comment = x\r\n"
    "noequals\r\n"
    "empty=\r\n"
    "blank= \t  \r\n"
    "inner=a = b\r\n"
    "eqeq==v\r\n"
    "tab=\tx\t\r\n"
    "keytrail   =kt\r\n"
    "   keylead=kl\r\n"
    "brk=[x]\r\n"
    "  [Sp]  \r\n"
    "a=1\r\n"
    "[ Sp2 ]\r\n"
    "b=2\r\n"
    "[T] trailing\r\n"
    "x=3\r\n"
    "[a]b]\r\n"
    "k=rb\r\n"
    "[S]\r\n"
    "after=late\r\n"
    "[Bad\r\n"
    "z=9\r\n";

class ViewerProfileTest : public testing::Test {
protected:
    void SetUp() override {
        nuvsim::ResetViewer();
        m_dir = std::filesystem::temp_directory_path() /
                ("nuvsim-profile-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(m_dir);
        ASSERT_HR(S_OK, NUVCoCreateInstance(CLSID_AgentHelper, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(m_helper.put())));
        ASSERT_HR(S_OK, m_helper->GetSettingsSource(m_source.put()));
        ASSERT_HR(S_OK, m_helper->GetMarkupManager(m_manager.put()));
    }

    void TearDown() override {
        m_source.reset();
        m_manager.reset();
        m_helper.reset();
        EXPECT_THAT(ReferenceProblems(), testing::IsEmpty());
        nuvsim::ResetViewer();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string WriteFile(const std::string& bytes, const std::string& name = "view.ini") {
        const std::filesystem::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        nuvsim::SetLaunchFile(path.string());
        return path.string();
    }

    // The value as the agent sees it: up to the terminator in a buffer of count.
    Wide Read(const WCHAR* section, const WCHAR* key, LONG count = 1024) {
        Wide buffer(static_cast<size_t>(count) + 1, W('?'));
        LONG size = count;
        EXPECT_HR(S_OK, m_source->ReadProfileValue(0, section, key, &size, buffer.data()));
        return Wide(buffer.c_str());
    }

    std::filesystem::path m_dir;
    ComPtr<IAgentHelper> m_helper;
    ComPtr<ISettingsSource> m_source;
    ComPtr<IMarkupManager> m_manager;
};

TEST_F(ViewerProfileTest, NamesCompareWithoutCaseAndSurroundingBlanks) {
    WriteFile(kLaunchLines);
    EXPECT_EQ(W("hello"), Read(W("S"), W("plain")));
    EXPECT_EQ(W("hello"), Read(W("s"), W("PLAIN")));
    EXPECT_EQ(W("1"), Read(W("Sp"), W("a")));
    EXPECT_EQ(W("1"), Read(W(" Sp "), W("a")));
    EXPECT_EQ(W("2"), Read(W("Sp2"), W("b")));
    EXPECT_EQ(W("3"), Read(W("T"), W("x")));
    EXPECT_EQ(W("rb"), Read(W("a]b"), W("k")));
    EXPECT_EQ(W("kt"), Read(W("S"), W("keytrail")));
    EXPECT_EQ(W("kl"), Read(W("S"), W("keylead")));
    EXPECT_EQ(W("kl"), Read(W("S"), W(" keylead")));
}

TEST_F(ViewerProfileTest, ValuesLoseSurroundingBlanksAndOnePairOfQuotes) {
    WriteFile(kLaunchLines);
    EXPECT_EQ(W("some value"), Read(W("S"), W("spaced")));
    EXPECT_EQ(W("in quotes"), Read(W("S"), W("quoted")));
    EXPECT_EQ(W("single"), Read(W("S"), W("squoted")));
    EXPECT_EQ(W("\"open"), Read(W("S"), W("halfquote")));
    EXPECT_EQ(W("a\" b \"c"), Read(W("S"), W("bothquoted")));
    EXPECT_EQ(W(""), Read(W("S"), W("emptyquotes")));
    EXPECT_EQ(W("a = b"), Read(W("S"), W("inner")));
    EXPECT_EQ(W("=v"), Read(W("S"), W("eqeq")));
    EXPECT_EQ(W("x"), Read(W("S"), W("tab")));
    EXPECT_EQ(W(""), Read(W("S"), W("blank")));
    EXPECT_EQ(W("[x]"), Read(W("S"), W("brk")));
}

TEST_F(ViewerProfileTest, OnlyTheFirstKeyAndTheFirstSectionOfANameCount) {
    WriteFile(kLaunchLines);
    EXPECT_EQ(W("first"), Read(W("S"), W("dup")));
    EXPECT_EQ(W(""), Read(W("S"), W("after")));
}

TEST_F(ViewerProfileTest, WhatIsNotThereReadsEmptyAndSucceeds) {
    WriteFile(kLaunchLines);
    EXPECT_EQ(W(""), Read(W("S"), W("missing")));
    EXPECT_EQ(W(""), Read(W("Missing"), W("plain")));
    EXPECT_EQ(W(""), Read(W("S"), W("comment")));
    EXPECT_EQ(W(""), Read(W("S"), W("noequals")));
    EXPECT_EQ(W(""), Read(W("S"), W("empty")));
    // Lines after a header without "]" belong to no section a name reaches.
    EXPECT_EQ(W(""), Read(W("Bad"), W("z")));
    EXPECT_EQ(W(""), Read(W("S"), W("z")));
    nuvsim::SetLaunchFile((m_dir / "absent.ini").string());
    EXPECT_EQ(W(""), Read(W("S"), W("plain")));
    nuvsim::SetLaunchFile("");
    EXPECT_EQ(W(""), Read(W("S"), W("plain")));
}

TEST_F(ViewerProfileTest, LongValuesAreCutToTheBuffer) {
    const std::string longValue(1500, 'L');
    const std::string hugeValue(70000, 'H');
    WriteFile("[S]\nplain=hello\nlong=" + longValue + "E\nhuge=" + hugeValue + "\nlast=end");  // LF only, no last end
    EXPECT_EQ(Wide(1023, W('L')), Read(W("S"), W("long")));
    EXPECT_EQ(Wide(1500, W('L')) + W("E"), Read(W("S"), W("long"), 3000));
    EXPECT_EQ(Wide(70000, W('H')), Read(W("S"), W("huge"), 80000));
    EXPECT_EQ(W("hel"), Read(W("S"), W("plain"), 4));
    EXPECT_EQ(W(""), Read(W("S"), W("plain"), 1));
    EXPECT_EQ(W("end"), Read(W("S"), W("last")));
}

TEST_F(ViewerProfileTest, ByteOrderMarksChooseTheEncoding) {
    WriteFile("\xEF\xBB\xBF[A]\r\nk=\xC3\xA9t\xC3\xA9\r\n");
    EXPECT_EQ(W("\u00E9t\u00E9"), Read(W("A"), W("k")));
    const std::u16string utf16 = u"\uFEFF[A]\r\nk=\u00E9t\u00E9 \u20AC\r\n";
    WriteFile(std::string(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2));
    EXPECT_EQ(W("\u00E9t\u00E9 \u20AC"), Read(W("A"), W("k")));
}

TEST_F(ViewerProfileTest, FilesWithoutAMarkAreAnsiText) {
    const std::string bytes = "caf\xC3\xA9";
    WriteFile("[A]\r\nk=" + bytes + "\r\n");
#ifdef _WIN32
    Wide expected(8, L'\0');
    expected.resize(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), expected.data(), 8));
#else
    const Wide expected = u"caf\u00E9";
#endif
    EXPECT_EQ(expected, Read(W("A"), W("k")));
}

TEST_F(ViewerProfileTest, ARelativeLaunchFileIsReadFromTheCurrentFolder) {
    const std::string name = "nuvsim-relative-launch.ini";
    std::ofstream(name, std::ios::binary) << "[S]\r\nplain=here\r\n";
    nuvsim::SetLaunchFile(name);
    EXPECT_EQ(W("here"), Read(W("S"), W("plain")));
    std::filesystem::remove(name);
}

TEST_F(ViewerProfileTest, TheMarkupManagerReadsTheSameFileAtItsSlot) {
    WriteFile(kLaunchLines);
    WCHAR buffer[16] = {};
    LONG count = 16;
    EXPECT_HR(S_OK, CallSlot(m_manager.get(), kMarkupManagerReadSlot, LONG{0}, static_cast<const WCHAR*>(W("S")),
                             static_cast<const WCHAR*>(W("spaced")), &count, static_cast<WCHAR*>(buffer)));
    EXPECT_EQ(W("some value"), Wide(buffer));
    EXPECT_EQ(16, count);
    EXPECT_EQ(1, nuvsim::CallCount("IMarkupManager::ReadProfileValue"));
}

TEST_F(ViewerProfileTest, TheUnterminatedKnobFillsTheWholeBuffer) {
    WriteFile(kLaunchLines);
    nuvsim::Config config = nuvsim::GetConfig();
    config.unterminatedProfileReads = true;
    nuvsim::SetConfig(config);
    WCHAR buffer[9] = {W('!'), W('!'), W('!'), W('!'), W('!'), W('!'), W('!'), W('!'), 0};
    LONG count = 8;
    EXPECT_HR(S_OK, m_source->ReadProfileValue(0, W("S"), W("plain"), &count, buffer));
    EXPECT_EQ(W("hello###"), Wide(buffer));
    // A longer value is cut at the count, still without a terminator.
    count = 3;
    EXPECT_HR(S_OK, m_source->ReadProfileValue(0, W("S"), W("spaced"), &count, buffer));
    EXPECT_EQ(W("somlo###"), Wide(buffer));
}

TEST_F(ViewerProfileTest, BadArgumentsAreRefused) {
    WriteFile(kLaunchLines);
    WCHAR buffer[4] = {};
    LONG count = 4;
    LONG none = 0;
    EXPECT_HR(E_POINTER, m_source->ReadProfileValue(0, W("S"), W("plain"), nullptr, buffer));
    EXPECT_HR(E_POINTER, m_source->ReadProfileValue(0, W("S"), W("plain"), &count, nullptr));
    EXPECT_HR(E_INVALIDARG, m_source->ReadProfileValue(0, nullptr, W("plain"), &count, buffer));
    EXPECT_HR(E_INVALIDARG, m_source->ReadProfileValue(0, W("S"), nullptr, &count, buffer));
    EXPECT_HR(E_INVALIDARG, m_source->ReadProfileValue(0, W("S"), W("plain"), &none, buffer));
}

}  // namespace
