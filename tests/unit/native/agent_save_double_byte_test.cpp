// Markup saves in a double-byte ANSI code page, natively: the second byte of
// a character may have the value of "\", and must neither end the markup's
// folder nor be doubled before a closing quote. Under Wine the same cases
// run with the system's code page 932 in tests/save_dll.

#include "platform/text/codepage.h"
#include "platform/com/string_ids.h"
#include "tests/support/code_page_for_test.h"
#include "tests/support/save_session.h"
#include "tests/support/hresult.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

const std::string kSo = "\x83\x5C";   // katakana so: its second byte is "\"
const std::string kHyo = "\x95\x5C";  // the kanji for table: likewise

class DoubleByteSave : public SaveSessionTest {
protected:
    // The launch file in wide text, so that every byte of its ANSI values
    // reaches the agent through the viewer's wide interfaces.
    void StartWithAnsi(const std::string& text) {
        std::string bytes = "\xFF\xFE";
        for (const WCHAR unit : AnsiToWide(text)) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
        nuvsim::SetDocumentKind(nuvsim::kKind2D);
        const std::string path = WriteLaunchFile(bytes);
        CreateAgent();
        ASSERT_HR(S_OK, Resolve(path));
    }
    void StartWithMarkup(const std::string& access, const std::string& application = "view") {
        StartWithAnsi("[ServerFile]\nFileTypeID=PDM.Markup\nServerPath=D:\\srv\\gear.dwg\nsession_id=42\n"
                      "[ViewList]\nNumMarkups=1\nMarkup0=D:\\srv\\" + kSo + ".xml\nMarkupAccess0=" + access +
                      "\nDMAgent=" + RecorderPath() + "\nApplication=" + application + "\n");
    }

    ScopedAnsiCodePage m_japanese{932};
};

// Read byte by byte, the file name of C:\tmp\<so>.xml would be ".xml": the
// lookup would miss the markup's read entry and launch it under that name.
TEST_F(DoubleByteSave, AReadOnlyMarkupIsFoundAndRefused) {
    StartWithMarkup("read");
    ExpectRefusal(("C:\\tmp\\" + kSo + ".xml").c_str(), IDS_NO_MARKUP_PERMISSION);
    EXPECT_EQ("<nothing recorded>", m_recorder.WaitForRecord(1500ms));
}

TEST_F(DoubleByteSave, AWritableMarkupLaunchesWithItsWholeName) {
    StartWithMarkup("write");
    ASSERT_HR(S_OK, Save(("C:\\tmp\\" + kSo + ".xml").c_str()));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.dwg", kSo + ".xml", "view"}));
}

TEST_F(DoubleByteSave, AQuotedItemEndingInSuchACharacterArrivesWhole) {
    StartWithMarkup("write", "Zel " + kHyo);
    ASSERT_HR(S_OK, Save(("C:\\My Markups\\" + kHyo + " " + kSo + ".xml").c_str()));
    EXPECT_EQ(Arguments(), (Words{"MarkupSave", "42", "D:\\srv\\gear.dwg", kHyo + " " + kSo + ".xml", "Zel " + kHyo}));
}

}  // namespace
