// Each entry of a list takes two numbers: the even one keys its location,
// the odd one after it its other values; each count is the first number not
// used.
#include "viewlist/view_list_copy.h"

#include "interfaces/launch_file_keys.h"
#include "platform/com/result.h"
#include "platform/text/strings.h"
#include "platform/text/url.h"

#include <algorithm>
#include <utility>

namespace {

// Stored counts are twice the number of entries; the same entry limit holds
// as for the launch file.
long StoredCount(const std::string& text) { return std::clamp(ParseLeadingInt(text), 0L, 2 * kMaxListCount); }

}  // namespace

HRESULT RestoreViewList(AgentDataStore& store, IAgentHelper* helper, const std::string& launchFile,
                        SessionRecord& record) {
    record.m_serverFiles.RemoveAll();
    const HRESULT opened = store.OpenByServerPath(helper, UrlDecode(launchFile));
    RETURN_IF_FAILED(opened);
    // Every value below comes from the one block just opened, which nothing
    // writes meanwhile: it is read from the viewer once, not once per key.
    const AgentDataStore::ScopedIndex indexed(store);

    ViewListEntry launchEntry;
    launchEntry.m_strLocalPath = launchFile;
    launchEntry.m_strObjectID = record.m_strObjectID;
    record.m_serverFiles.AddTail(launchEntry);

    // Values the launch file gave win over the stored ones; the object id never does.
    store.FillValue(kSectionServerFile, kKeyViewMode, record.m_strViewMode);
    store.FillValue(kSectionServerFile, kKeyPdmVendor, record.m_strPDMVendor);
    store.FillValue(kSectionServerFile, kKeyPdmHost, record.m_strPDMHost);
    store.FillValue(kSectionServerFile, kKeyPdmPort, record.m_strPDMPort);
    record.m_strObjectID = store.FindValue(kSectionServerFile, kStoredKeyObjectId);
    if (record.m_strObjectID.empty()) return opened;

    record.m_markups.RemoveAll();
    record.m_nNumMarkups = StoredCount(store.FindValue(kSectionViewList, kKeyNumMarkups));
    record.m_markups.Reserve(static_cast<size_t>(record.m_nNumMarkups / 2 + 1));
    for (long i = 0; i < record.m_nNumMarkups; i += 2) {
        ViewListEntry markup;
        markup.m_strLocation = store.FindValue(kSectionViewList, kKeyMarkup, i);
        markup.m_strObjectID = store.FindValue(kSectionViewList, kKeyObjectId, i + 1);
        markup.m_strLocalPath = store.FindValue(kSectionViewList, kStoredKeyLocalPath, i + 1);
        markup.m_bLoaded = true;
        record.m_markups.AddTail(std::move(markup));
    }

    record.m_parts.RemoveAll();
    record.m_nNumParts = StoredCount(store.FindValue(kSectionViewList, kKeyNumParts));
    record.m_parts.Reserve(static_cast<size_t>(record.m_nNumParts / 2 + 1));
    for (long j = 0; j < record.m_nNumParts; j += 2) {
        ViewListEntry part;
        part.m_strLocation = store.FindValue(kSectionViewList, kStoredKeyPart, j);
        part.m_strObjectID = store.FindValue(kSectionViewList, kStoredKeyPartId, j + 1);
        record.m_parts.AddTail(std::move(part));
    }

    record.m_strServerPath = launchFile;
    return opened;
}

HRESULT StoreViewList(AgentDataStore& store, IAgentHelper* helper, const LONG (&documentKey)[2],
                      const std::string& launchFile, const SessionRecord& record) {
    RETURN_IF_FAILED(store.OpenForDocument(helper, documentKey));

    HRESULT firstFailure = S_OK;
    const auto write = [&](std::string_view section, std::string_view key, long number, const std::string& value) {
        const HRESULT hr = store.WriteValue(section, key, number, value);
        if (FAILED(hr) && SUCCEEDED(firstFailure)) firstFailure = hr;
        return hr;
    };
    constexpr long unnumbered = AgentDataStore::kUnnumbered;
    write(kSectionServerFile, kKeyServerPath, unnumbered, UrlDecode(launchFile));
    write(kSectionServerFile, kStoredKeyObjectId, unnumbered, record.m_strObjectID);
    write(kSectionServerFile, kKeyViewMode, unnumbered, record.m_strViewMode);
    write(kSectionServerFile, kKeyPdmVendor, unnumbered, record.m_strPDMVendor);
    write(kSectionServerFile, kKeyPdmHost, unnumbered, record.m_strPDMHost);
    write(kSectionServerFile, kKeyPdmPort, unnumbered, record.m_strPDMPort);

    long number = 0;
    for (const ViewListEntry& markup : record.m_markups) {
        write(kSectionViewList, kKeyMarkup, number, markup.m_strLocation);
        write(kSectionViewList, kKeyObjectId, number + 1, markup.m_strObjectID);
        write(kSectionViewList, kStoredKeyLocalPath, number + 1, markup.m_strLocalPath);
        number += 2;
    }
    write(kSectionViewList, kKeyNumMarkups, unnumbered, DecimalText(number));

    number = 0;
    for (const ViewListEntry& part : record.m_parts) {
        write(kSectionViewList, kStoredKeyPart, number, part.m_strLocation);
        write(kSectionViewList, kStoredKeyPartId, number + 1, part.m_strObjectID);
        number += 2;
    }
    const HRESULT last = write(kSectionViewList, kKeyNumParts, unnumbered, DecimalText(number));
    return FAILED(firstFailure) ? firstFailure : last;
}
