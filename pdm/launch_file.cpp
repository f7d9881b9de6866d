#include "pdm/launch_file.h"

#include "interfaces/launch_file_keys.h"
#include "platform/com/result.h"
#include "platform/text/codepage.h"
#include "platform/text/strings.h"
#include "platform/text/url.h"

#include <algorithm>
#include <limits>

namespace {

constexpr char kObjectIdParameter[] = "object_id=";
constexpr char kParameterSeparator[] = "&";

long ClampedCount(long count) { return std::min(count, kMaxListCount); }

}  // namespace

// The markups' keys are read tens of thousands of times, each with the next
// number: in wide form once, and only the number counted on.
LaunchFileReader::NumberedKey LaunchFileReader::WideKey(std::string_view name) {
    return NumberedKey(AnsiToWide(std::string(name)));
}

LaunchFileReader::LaunchFileReader() = default;

HRESULT LaunchFileReader::Open(IAgentHelper* helper, SessionRecord& record) {
    RETURN_HR_IF(E_FAIL, helper == nullptr || record.m_bLaunchFileRead);
    HRESULT hr = m_pSource.receive([&](auto out) { return helper->GetSettingsSource(out); });
    if (FAILED(hr)) hr = m_pMarkupManager.receive([&](auto out) { return helper->GetMarkupManager(out); });
    RETURN_IF_FAILED(hr);

    record.m_bLaunchFileRead = true;
    record.m_strServerPath = Value(kSectionServerFile, kKeyServerPath, kUnnumbered, &record.m_bServerPathCut);
    record.m_strFileTypeID = Value(kSectionServerFile, kKeyFileTypeId);
    record.m_strViewMode = Value(kSectionServerFile, kKeyViewMode);
    record.m_strSessionID = Value(kSectionServerFile, kKeySessionId);
    record.m_strObjectID = Value(kSectionServerFile, kKeyObjectId);
    record.m_strPDMVendor = Value(kSectionServerFile, kKeyPdmVendor);
    record.m_strPDMHost = Value(kSectionServerFile, kKeyPdmHost);
    record.m_strPDMPort = Value(kSectionServerFile, kKeyPdmPort);
    record.m_nNumMarkups = ClampedCount(ParseLeadingInt(Value(kSectionViewList, kKeyNumMarkups)));
    record.m_nNumParts = ClampedCount(ParseLeadingInt(Value(kSectionViewList, kKeyNumParts)));
    if (record.m_strFileTypeID.empty()) record.m_strFileTypeID = kPlainSessionType;
    if (record.m_strServerPath.empty())
        record.m_strServerPath = Value(kSectionServerFile, kKeyImportPath, kUnnumbered, &record.m_bServerPathCut);
    record.m_strDMAgent = Value(kSectionViewList, kKeyDmAgent);
    record.m_strApplication = Value(kSectionViewList, kKeyApplication);
    return hr;
}

// Inline: the markups of a large list are read value by value.
inline void LaunchFileReader::Read(const WCHAR* wideSection, const WCHAR* wideKey, bool* cut, std::string& value) {
    if (cut) *cut = false;
    WCHAR* buffer = m_buffer.Prepare();
    LONG count = kValueBufferChars;
    HRESULT hr = E_FAIL;
    if (m_pSource) hr = m_pSource->ReadProfileValue(0, wideSection, wideKey, &count, buffer);
    else if (m_pMarkupManager) hr = m_pMarkupManager->ReadProfileValue(0, wideSection, wideKey, &count, buffer);
    // A host that fails may have written any part of the buffer: it is
    // cleared whole before the next read.
    if (FAILED(hr)) {
        value.clear();
        return;
    }
    size_t units = 0;
    WideToAnsi(buffer, kValueBufferChars, units, value);
    m_buffer.Used(units);
    // A source that fills the buffer without a terminator is cut at its end;
    // one that stops a unit short (as Windows' profile functions do) may
    // have cut the value too: either way the value counts as cut.
    if (cut) *cut = units >= static_cast<size_t>(kValueBufferChars - 1);
}

void LaunchFileReader::ReadMarkups(SessionRecord& record) {
    const WideString section = AnsiToWide(kSectionViewList);
    NumberedKey locationKey = WideKey(kKeyMarkup);
    NumberedKey accessKey = WideKey(kKeyMarkupAccess);
    NumberedKey objectIdKey = WideKey(kKeyObjectId);
    const auto read = [&](NumberedKey& key, long number, std::string& value) {
        Read(section.c_str(), key.For(number).c_str(), nullptr, value);
    };
    long position = 0;
    for (ViewListEntry& entry : record.m_markups) read(accessKey, position++, entry.m_strAccess);
    // The count may have been set by others than the reading of the settings.
    const long count = ClampedCount(record.m_nNumMarkups);
    record.m_markups.Reserve(static_cast<size_t>(std::max(count, 0L)));
    std::string objectId;
    for (long n = 0; n < count; ++n) {
        // Every field starts empty: nothing carries over from the markup before.
        ViewListEntry& entry = record.m_markups.Append();
        read(locationKey, n, entry.m_strLocation);
        read(accessKey, position++, entry.m_strAccess);
        if (IsHttpLocation(entry.m_strLocation)) {
            entry.m_strURL = entry.m_strLocation;
            entry.m_strObjectID =
                UrlDecode(TextBefore(TextAfter(entry.m_strLocation, kObjectIdParameter), kParameterSeparator));
        }
        read(objectIdKey, n, objectId);
        if (!objectId.empty()) entry.m_strObjectID = objectId;
        if (entry.m_strObjectID.empty()) entry.m_strLocalPath = entry.m_strLocation;
    }
}

std::string LaunchFileReader::Value(std::string_view section, std::string_view key, long number, bool* cut) {
    // A few settings per session: their names are made anew each time.
    const WideString wideSection = AnsiToWide(std::string(section));
    std::string value;
    Read(wideSection.c_str(), WideKey(key).For(number).c_str(), cut, value);
    return value;
}

