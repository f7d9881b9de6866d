// The one reading of the launch file: what it says about the PDM side of the
// session and the markups it lists, read through a settings source of the
// viewer's helper into the session record.
#pragma once

#include "interfaces/viewer_interfaces.h"
#include "platform/com/com_ptr.h"
#include "platform/com/host_text_buffer.h"
#include "platform/text/codepage.h"
#include "platform/text/numbered_name.h"
#include "viewlist/session_record.h"

#include <string>
#include <string_view>

class LaunchFileReader {
public:
    // Size of the wide buffer every value is read through, terminator included.
    static constexpr LONG kValueBufferChars = 1024;
    // A key without a number after it ("Markup12").
    static constexpr long kUnnumbered = -1;

    LaunchFileReader();
    LaunchFileReader(const LaunchFileReader&) = delete;
    LaunchFileReader& operator=(const LaunchFileReader&) = delete;

    // Obtains a settings source from the helper (its ISettingsSource, else
    // its markup manager) and reads the server file's settings, the counts
    // and the save command into record. E_FAIL, with nothing read, without a
    // helper or for a record read before; the helper's failure when it
    // offers no source.
    HRESULT Open(IAgentHelper* helper, SessionRecord& record);
    // Appends one entry per markup the launch file names. Each entry's access
    // right is MarkupAccess with its position in the list: entries already
    // listed take theirs too.
    void ReadMarkups(SessionRecord& record);

    // One launch file value; empty when missing or unreadable. cut, when
    // given, says whether the value filled the buffer: a longer one would
    // have been cut there.
    std::string Value(std::string_view section, std::string_view key, long number = kUnnumbered,
                      bool* cut = nullptr);

private:
    // One read of the value of the wide section and key names given, into
    // value: a list's values go straight into their entries.
    void Read(const WCHAR* section, const WCHAR* key, bool* cut, std::string& value);

    using NumberedKey = NumberedName<WCHAR>;
    static_assert(NumberedKey::kUnnumbered == kUnnumbered);
    static NumberedKey WideKey(std::string_view name);

    ComPtr<ISettingsSource> m_pSource;
    // Where the viewer offers no settings source, the launch file is read
    // through its markup manager.
    ComPtr<IMarkupManager> m_pMarkupManager;
    HostTextBuffer<WCHAR, kValueBufferChars> m_buffer;
};
