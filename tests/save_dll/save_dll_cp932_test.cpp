// Markup saves through the DLL with the system's ANSI code page 932, where
// the second byte of a character may have the value of "\": katakana so is
// 0x83 0x5C. Read byte by byte, the markup C:\tmp\<so>.xml would have the
// file name ".xml": the lookup would miss its read entry and launch it under
// that name.
//
// The process must run with code page 932 (wine-cp932.sh starts Wine in the
// ja_JP.UTF-8 locale, which the machine must have installed); anything else
// fails here rather than passing on single-byte text.

#include "platform/text/double_byte_layout.h"
#include "platform/com/string_ids.h"
#include "tests/save_dll/dll_save_session.h"
#include "tests/support/hresult.h"

namespace {

const std::string kSo = "\x83\x5C";   // katakana so
const std::string kHyo = "\x95\x5C";  // the kanji for table

class SaveDllCp932 : public DllSaveSession {
protected:
    void SetUp() override {
        ASSERT_EQ(932u, GetACP()) << "the process runs with ANSI code page " << GetACP()
                                  << ", not 932: start Wine in an installed ja_JP.UTF-8 locale "
                                     "(LANG/LC_ALL; locale -a must list ja_JP.utf8)";
        DllSaveSession::SetUp();
    }
    void StartWithMarkup(const std::string& access, const std::string& application = "view") {
        Start("[ServerFile]\r\nFileTypeID=PDM.Markup\r\nServerPath=D:\\srv\\gear.dwg\r\nsession_id=42\r\n"
              "[ViewList]\r\nNumMarkups=1\r\nMarkup0=D:\\srv\\" + kSo + ".xml\r\nMarkupAccess0=" + access +
              "\r\nDMAgent=" + RecorderPath() + "\r\nApplication=" + application + "\r\n");
    }
};

// The agent's table of lead bytes against the system's.
TEST_F(SaveDllCp932, LeadBytesAreTheSystems) {
    const DoubleByteLayout* layout = DoubleByteLayoutOf(932);
    ASSERT_NE(nullptr, layout);
    for (unsigned b = 0; b < 256; ++b)
        EXPECT_EQ(IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) != FALSE, layout->lead[b]) << std::hex << b;
}

TEST_F(SaveDllCp932, AReadOnlyMarkupIsFoundAndRefused) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display for the message box";
    StartWithMarkup("read");
    ExpectRefusal("C:\\tmp\\" + kSo + ".xml", IDS_NO_MARKUP_PERMISSION);
    ExpectNothingLaunched();
}

TEST_F(SaveDllCp932, AWritableMarkupLaunchesWithItsWholeName) {
    StartWithMarkup("write");
    ASSERT_HR(S_OK, Save("C:\\tmp\\" + kSo + ".xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.dwg", kSo + ".xml", "view"})) << CommandLines();
}

// A quoted item that ends in such a character: its second byte is no
// backslash to double before the closing quote.
TEST_F(SaveDllCp932, AQuotedItemEndingInSuchACharacterArrivesWhole) {
    StartWithMarkup("write", "Zel " + kHyo);
    ASSERT_HR(S_OK, Save("C:\\My Markups\\" + kHyo + " " + kSo + ".xml"));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.dwg", kHyo + " " + kSo + ".xml", "Zel " + kHyo}))
        << CommandLines();
}

}  // namespace
