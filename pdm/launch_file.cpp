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

const WCHAR* LaunchFileReader::WideName::Set(std::string_view name, long number) {
    Short* known = m_nLast < kKnownNames && m_known[m_nLast].name == name ? &m_known[m_nLast] : nullptr;
    for (size_t i = 0; !known && i < kKnownNames; ++i) {
        if (!m_known[i].name.empty() && m_known[i].name == name) known = &m_known[i];
    }
    // ASCII is the same in every ANSI code page: unit for unit.
    const auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
    if (!known && !name.empty() && name.size() < kShortChars && std::all_of(name.begin(), name.end(), ascii)) {
        known = &m_known[m_nNext++ % kKnownNames];
        known->name.assign(name);
        std::copy(name.begin(), name.end(), known->wide);
    }
    // The number's digits, last first.
    char digits[std::numeric_limits<unsigned long>::digits10 + 2];
    size_t count = 0;
    const bool negative = number < 0 && number != kUnnumbered;
    for (unsigned long rest = negative ? 0 - static_cast<unsigned long>(number) : static_cast<unsigned long>(number);
         number != kUnnumbered && (count == 0 || rest != 0); rest /= 10) {
        digits[count++] = static_cast<char>('0' + rest % 10);
    }
    if (negative) digits[count++] = '-';
    if (known && name.size() + count < kShortChars) {
        m_nLast = static_cast<size_t>(known - m_known);
        WCHAR* out = known->wide + name.size();
        while (count > 0) *out++ = static_cast<unsigned char>(digits[--count]);
        *out = 0;
        return known->wide;
    }
    std::string text(name);
    while (count > 0) text += digits[--count];
    m_long = AnsiToWide(text);
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
    const WCHAR* section = m_markupSection.Set(kSectionViewList, kUnnumbered);
    const auto value = [&](WideName& key, std::string_view name, long number) {
        return Read(section, key.Set(name, number), nullptr);
    };
    long position = 0;
    for (ViewListEntry& entry : record.m_markups) entry.m_strAccess = value(m_accessKey, kKeyMarkupAccess, position++);
    // The count may have been set by others than the reading of the settings.
    const long count = ClampedCount(record.m_nNumMarkups);
    record.m_markups.Reserve(static_cast<size_t>(std::max(count, 0L)));
    for (long n = 0; n < count; ++n) {
        // Every field starts empty: nothing carries over from the markup before.
        ViewListEntry entry;
        entry.m_strLocation = value(m_locationKey, kKeyMarkup, n);
        entry.m_strAccess = value(m_accessKey, kKeyMarkupAccess, position++);
        if (IsHttpLocation(entry.m_strLocation)) {
            entry.m_strURL = entry.m_strLocation;
            entry.m_strObjectID =
                UrlDecode(TextBefore(TextAfter(entry.m_strLocation, kObjectIdParameter), kParameterSeparator));
        }
        std::string objectId = value(m_objectIdKey, kKeyObjectId, n);
        if (!objectId.empty()) entry.m_strObjectID = std::move(objectId);
        if (entry.m_strObjectID.empty()) entry.m_strLocalPath = entry.m_strLocation;
        record.m_markups.AddTail(std::move(entry));
    }
}

std::string LaunchFileReader::Value(std::string_view section, std::string_view key, long number, bool* cut) {
    return Read(m_section.Set(section, kUnnumbered), m_key.Set(key, number), cut);
}

std::string LaunchFileReader::Read(const WCHAR* wideSection, const WCHAR* wideKey, bool* cut) {
    if (cut) *cut = false;
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
