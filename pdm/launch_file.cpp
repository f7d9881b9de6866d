#include "pdm/launch_file.h"

#include "interfaces/launch_file_keys.h"
#include "platform/com/result.h"
#include "platform/text/codepage.h"
#include "platform/text/strings.h"
#include "platform/text/url.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

constexpr char kObjectIdParameter[] = "object_id=";
constexpr char kParameterSeparator[] = "&";

long ClampedCount(long count) { return std::min(count, kMaxListCount); }

}  // namespace

const WCHAR* LaunchFileReader::WideName::Set(std::string_view name, long number) {
    char digits[std::numeric_limits<long>::digits10 + 2];
    const char* digitsEnd = digits;
    if (number != kUnnumbered) digitsEnd = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
    const std::string_view numberText(digits, static_cast<size_t>(digitsEnd - digits));
    const bool fits = !name.empty() && name.size() + numberText.size() < kShortChars;
    Short* known = nullptr;
    for (size_t i = 0; fits && !known && i < kKnownNames; ++i) {
        if (m_known[i].name == name) known = &m_known[i];
    }
    // ASCII is the same in every ANSI code page: unit for unit.
    const auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
    if (!known && fits && std::all_of(name.begin(), name.end(), ascii)) {
        known = &m_known[m_nNext++ % kKnownNames];
        known->name.assign(name);
        std::copy(name.begin(), name.end(), known->wide);
    }
    if (known) {
        *std::copy(numberText.begin(), numberText.end(), known->wide + name.size()) = 0;
        return known->wide;
    }
    m_long = AnsiToWide(std::string(name) + std::string(numberText));
    return m_long.c_str();
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

void LaunchFileReader::ReadMarkups(SessionRecord& record) {
    long position = 0;
    for (ViewListEntry& entry : record.m_markups) entry.m_strAccess = Value(kSectionViewList, kKeyMarkupAccess, position++);
    // The count may have been set by others than the reading of the settings.
    const long count = ClampedCount(record.m_nNumMarkups);
    record.m_markups.Reserve(static_cast<size_t>(std::max(count, 0L)));
    for (long n = 0; n < count; ++n) {
        // Every field starts empty: nothing carries over from the markup before.
        ViewListEntry entry;
        entry.m_strLocation = Value(kSectionViewList, kKeyMarkup, n);
        entry.m_strAccess = Value(kSectionViewList, kKeyMarkupAccess, position++);
        if (IsHttpLocation(entry.m_strLocation)) {
            entry.m_strURL = entry.m_strLocation;
            entry.m_strObjectID =
                UrlDecode(TextBefore(TextAfter(entry.m_strLocation, kObjectIdParameter), kParameterSeparator));
        }
        std::string objectId = Value(kSectionViewList, kKeyObjectId, n);
        if (!objectId.empty()) entry.m_strObjectID = std::move(objectId);
        if (entry.m_strObjectID.empty()) entry.m_strLocalPath = entry.m_strLocation;
        record.m_markups.AddTail(std::move(entry));
    }
}

std::string LaunchFileReader::Value(std::string_view section, std::string_view key, long number, bool* cut) {
    if (cut) *cut = false;
    const WCHAR* wideSection = m_section.Set(section, kUnnumbered);
    const WCHAR* wideKey = m_key.Set(key, number);
    WCHAR* buffer = m_buffer.Prepare();
    LONG count = kValueBufferChars;
    HRESULT hr = E_FAIL;
    if (m_pSource) hr = m_pSource->ReadProfileValue(0, wideSection, wideKey, &count, buffer);
    else if (m_pMarkupManager) hr = m_pMarkupManager->ReadProfileValue(0, wideSection, wideKey, &count, buffer);
    if (FAILED(hr)) return {};
    size_t units = 0;
    std::string value = WideToAnsi(buffer, kValueBufferChars, &units);
    m_buffer.Used(units);
    // A source that fills the buffer without a terminator is cut at its end;
    // one that stops a unit short (as Windows' profile functions do) may
    // have cut the value too: either way the value counts as cut.
    if (cut) *cut = units >= static_cast<size_t>(kValueBufferChars - 1);
    return value;
}
