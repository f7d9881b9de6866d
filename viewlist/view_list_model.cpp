// The view list's copy in the agent data the viewer keeps with a document.
// Each entry takes two numbers: the even one keys its location, the odd one
// after it its other values; each count is the first number not used.
#include "agent/agent_base.h"

#include "pdm/url.h"
#include "platform/strings.h"

#include <algorithm>

namespace {
constexpr char kServerPathKey[] = "ServerPath";
constexpr char kObjectIdKey[] = "ObjectId";
constexpr char kViewModeKey[] = "ViewMode";
constexpr char kVendorKey[] = "PDMVendor";
constexpr char kHostKey[] = "PDM_host";
constexpr char kPortKey[] = "PDM_port";
constexpr char kMarkupKey[] = "Markup";
constexpr char kMarkupObjectKey[] = "object_id";
constexpr char kMarkupLocalPathKey[] = "LocalPath";
constexpr char kNumMarkupsKey[] = "NumMarkups";
constexpr char kPartKey[] = "Part";
constexpr char kPartIdKey[] = "PartId";
constexpr char kNumPartsKey[] = "NumParts";

// Stored counts are twice the number of entries; the same entry limit holds
// as for the launch file.
long StoredCount(const std::string& text) {
    return std::clamp(ParseLeadingInt(text), 0L, 2 * kMaxListCount);
}

std::string NumberedKey(const char* key, long number) { return key + DecimalText(number); }
}  // namespace

HRESULT STDMETHODCALLTYPE CAgentBase::LoadViewList() try {
    RETURN_HR_IF(E_FAIL, !HasLists() || !m_pRecord);
    CDMAgentConnection& record = *m_pRecord;
    m_pServerFiles->RemoveAll();

    const HRESULT opened = m_pStore->OpenByServerPath(m_pHelper.get(), UrlDecode(m_strViewListPath));
    RETURN_IF_FAILED(opened);
    // Every value below comes from the one block just opened, which nothing
    // writes meanwhile: it is read from the viewer once, not once per key.
    const AgentDataStore::ScopedIndex indexed(*m_pStore);

    ViewListEntry launchFile;
    launchFile.m_strLocalPath = m_strViewListPath;
    launchFile.m_strObjectID = record.m_strObjectID;
    m_pServerFiles->AddTail(launchFile);

    // Values the launch file gave win over the stored ones; the object id never does.
    m_pStore->FillValue(kSectionServerFile, kViewModeKey, record.m_strViewMode);
    m_pStore->FillValue(kSectionServerFile, kVendorKey, record.m_strPDMVendor);
    m_pStore->FillValue(kSectionServerFile, kHostKey, record.m_strPDMHost);
    m_pStore->FillValue(kSectionServerFile, kPortKey, record.m_strPDMPort);
    record.m_strObjectID = m_pStore->FindValue(kSectionServerFile, kObjectIdKey);
    if (record.m_strObjectID.empty()) return opened;

    m_pMarkups->RemoveAll();
    record.m_nNumMarkups = StoredCount(m_pStore->FindValue(kSectionViewList, kNumMarkupsKey));
    for (long i = 0; i < record.m_nNumMarkups; i += 2) {
        ViewListEntry markup;
        markup.m_strLocation = m_pStore->FindValue(kSectionViewList, NumberedKey(kMarkupKey, i));
        markup.m_strObjectID = m_pStore->FindValue(kSectionViewList, NumberedKey(kMarkupObjectKey, i + 1));
        markup.m_strLocalPath = m_pStore->FindValue(kSectionViewList, NumberedKey(kMarkupLocalPathKey, i + 1));
        markup.m_bLoaded = true;
        m_pMarkups->AddTail(markup);
    }

    m_pParts->RemoveAll();
    record.m_nNumParts = StoredCount(m_pStore->FindValue(kSectionViewList, kNumPartsKey));
    for (long j = 0; j < record.m_nNumParts; j += 2) {
        ViewListEntry part;
        part.m_strLocation = m_pStore->FindValue(kSectionViewList, NumberedKey(kPartKey, j));
        part.m_strObjectID = m_pStore->FindValue(kSectionViewList, NumberedKey(kPartIdKey, j + 1));
        m_pParts->AddTail(part);
    }

    record.m_strServerPath = m_strViewListPath;
    return opened;
}
CATCH_RETURN();

HRESULT STDMETHODCALLTYPE CAgentBase::SaveViewList() try {
    RETURN_HR_IF(E_FAIL, !HasLists() || !m_pRecord);
    const CDMAgentConnection& record = *m_pRecord;
    const LONG documentKey[2] = {m_nDocKeyFirst, m_nDocKeySecond};
    RETURN_IF_FAILED(m_pStore->OpenForDocument(m_pHelper.get(), documentKey));

    // A value lost on the way does not stop the others; the first loss is
    // what the viewer hears of, else the last write's result.
    HRESULT firstFailure = S_OK;
    const auto write = [&](const char* section, const std::string& key, const std::string& value) {
        const HRESULT hr = m_pStore->WriteValue(section, key, value);
        if (FAILED(hr) && SUCCEEDED(firstFailure)) firstFailure = hr;
        return hr;
    };
    write(kSectionServerFile, kServerPathKey, UrlDecode(m_strViewListPath));
    write(kSectionServerFile, kObjectIdKey, record.m_strObjectID);
    write(kSectionServerFile, kViewModeKey, record.m_strViewMode);
    write(kSectionServerFile, kVendorKey, record.m_strPDMVendor);
    write(kSectionServerFile, kHostKey, record.m_strPDMHost);
    write(kSectionServerFile, kPortKey, record.m_strPDMPort);

    long number = 0;
    for (const ViewListEntry& markup : *m_pMarkups) {
        write(kSectionViewList, NumberedKey(kMarkupKey, number), markup.m_strLocation);
        write(kSectionViewList, NumberedKey(kMarkupObjectKey, number + 1), markup.m_strObjectID);
        write(kSectionViewList, NumberedKey(kMarkupLocalPathKey, number + 1), markup.m_strLocalPath);
        number += 2;
    }
    write(kSectionViewList, kNumMarkupsKey, DecimalText(number));

    number = 0;
    for (const ViewListEntry& part : *m_pParts) {
        write(kSectionViewList, NumberedKey(kPartKey, number), part.m_strLocation);
        write(kSectionViewList, NumberedKey(kPartIdKey, number + 1), part.m_strObjectID);
        number += 2;
    }
    const HRESULT last = write(kSectionViewList, kNumPartsKey, DecimalText(number));
    return FAILED(firstFailure) ? firstFailure : last;
}
CATCH_RETURN();
