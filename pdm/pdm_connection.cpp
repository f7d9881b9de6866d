#include "pdm/pdm_connection.h"

#include "interfaces/launch_file_keys.h"
#include "platform/text/codepage.h"
#include "platform/com/result.h"
#include "platform/text/strings.h"
#include "platform/text/url.h"

#include <algorithm>

namespace {

// Size of the wide buffer every launch file read goes through, terminator
// included.
constexpr LONG kValueBufferChars = 1024;

constexpr char kObjectIdParameter[] = "object_id=";
constexpr char kParameterSeparator[] = "&";

// A section or key name as the source takes it. The names are short ASCII
// words, read tens of thousands of times for a large view list: those widen
// unit for unit (ASCII is the same in every ANSI code page) without a heap
// copy; anything else goes through the code page.
class WideName {
public:
    explicit WideName(const std::string& name) {
        const bool shortAscii = name.size() < kShortNameChars &&
                                std::all_of(name.begin(), name.end(),
                                            [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (!shortAscii) {
            m_long = AnsiToWide(name);
            m_text = m_long.c_str();
            return;
        }
        std::copy(name.begin(), name.end(), m_short);
        m_short[name.size()] = 0;
        m_text = m_short;
    }
    WideName(const WideName&) = delete;
    WideName& operator=(const WideName&) = delete;

    const WCHAR* c_str() const { return m_text; }

private:
    static constexpr size_t kShortNameChars = 64;
    WCHAR m_short[kShortNameChars];
    WideString m_long;
    const WCHAR* m_text = nullptr;
};

// One read through either kind of source; both take the same arguments.
template <typename Source>
std::string ReadThrough(Source* source, const std::string& section, const std::string& key, bool* cut) {
    const WideName wideSection(section);
    const WideName wideKey(key);
    WCHAR buffer[kValueBufferChars] = {};
    LONG count = kValueBufferChars;
    const HRESULT hr = source->ReadProfileValue(0, wideSection.c_str(), wideKey.c_str(), &count, buffer);
    if (FAILED(hr)) return {};
    // A source that fills the buffer without a terminator is cut at its end;
    // one that stops a unit short (as Windows' profile functions do) may
    // have cut the value too: either way the value counts as cut.
    if (cut) *cut = std::find(buffer, buffer + kValueBufferChars - 1, WCHAR(0)) == buffer + kValueBufferChars - 1;
    return WideToAnsi(buffer, kValueBufferChars);
}

long ClampedCount(long count) { return std::min(count, kMaxListCount); }

// One markup of the launch file, numbered n; every field starts empty.
ViewListEntry ReadMarkup(CPdmConnection& record, const std::string& n) {
    ViewListEntry entry;
    entry.m_strLocation = record.GetValue(kSectionViewList, kKeyMarkup + n);
    entry.m_strAccess = record.GetValue(kSectionViewList, kKeyMarkupPermission + n);
    if (IsHttpLocation(entry.m_strLocation)) {
        entry.m_strURL = entry.m_strLocation;
        entry.m_strObjectID =
            UrlDecode(TextBefore(TextAfter(entry.m_strLocation, kObjectIdParameter), kParameterSeparator));
    }
    std::string objectId = record.GetValue(kSectionViewList, kKeyObjectId + n);
    if (!objectId.empty()) entry.m_strObjectID = std::move(objectId);
    if (entry.m_strObjectID.empty()) entry.m_strLocalPath = entry.m_strLocation;
    return entry;
}

}  // namespace

CPdmConnection::~CPdmConnection() {
    ReleaseSources();
    m_serverFiles.RemoveAll();
    m_parts.RemoveAll();
    m_markups.RemoveAll();
}

HRESULT CPdmConnection::Attach(IAgentHelper* helper) {
    RETURN_HR_IF(E_FAIL, m_pSource || helper == nullptr);

    HRESULT hr = m_pSource.receive([&](auto out) { return helper->GetSettingsSource(out); });
    if (SUCCEEDED(hr)) return LoadSettings();
    if (m_pMarkupManager) return hr;

    hr = m_pMarkupManager.receive([&](auto out) { return helper->GetMarkupManager(out); });
    if (SUCCEEDED(hr)) return LoadSettings();
    return hr;
}

void CPdmConnection::ReleaseSources() {
    m_pSource.reset();
    m_pMarkupManager.reset();
}

std::string CPdmConnection::GetValue(const std::string& section, const std::string& key, bool* cut) {
    if (cut) *cut = false;
    if (m_pSource) return ReadThrough(m_pSource.get(), section, key, cut);
    if (m_pMarkupManager) return ReadThrough(m_pMarkupManager.get(), section, key, cut);
    return {};
}

HRESULT CPdmConnection::LoadSettings() {
    m_strServerPath = GetValue(kSectionServerFile, kKeyServerPath, &m_bServerPathCut);
    m_strFileTypeID = GetValue(kSectionServerFile, kKeyFileTypeId);
    m_strViewMode = GetValue(kSectionServerFile, kKeyViewMode);
    m_strSessionID = GetValue(kSectionServerFile, kKeySessionId);
    m_strObjectID = GetValue(kSectionServerFile, kKeyObjectId);
    m_strPDMVendor = GetValue(kSectionServerFile, kKeyPdmVendor);
    m_strPDMHost = GetValue(kSectionServerFile, kKeyPdmHost);
    m_strPDMPort = GetValue(kSectionServerFile, kKeyPdmPort);
    m_nNumMarkups = ClampedCount(ParseLeadingInt(GetValue(kSectionViewList, kKeyNumMarkups)));
    m_nNumParts = ClampedCount(ParseLeadingInt(GetValue(kSectionViewList, kKeyNumParts)));
    if (m_strFileTypeID.empty()) m_strFileTypeID = kPlainSessionType;
    if (m_strServerPath.empty()) m_strServerPath = GetValue(kSectionServerFile, kKeyImportPath, &m_bServerPathCut);
    return S_OK;
}

HRESULT CPdmConnection::LoadMarkups() {
    // The count may have been set by others than LoadSettings.
    const long count = ClampedCount(m_nNumMarkups);
    for (long i = 0; i < count; ++i) m_markups.AddTail(ReadMarkup(*this, DecimalText(i)));
    return S_OK;
}

CDMAgentConnection::~CDMAgentConnection() = default;

HRESULT CDMAgentConnection::LoadSettings() {
    const HRESULT hr = CPdmConnection::LoadSettings();
    m_strDMAgent = GetValue(kSectionViewList, kKeyDmAgent);
    m_strApplication = GetValue(kSectionViewList, kKeyApplication);
    return hr;
}

HRESULT CDMAgentConnection::LoadMarkups() {
    const HRESULT hr = CPdmConnection::LoadMarkups();
    long n = 0;
    for (ViewListEntry& entry : m_markups) {
        entry.m_strAccess = GetValue(kSectionViewList, kKeyMarkupAccess + DecimalText(n++));
    }
    return hr;
}
