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

constexpr long kNumbersPerEntry = 2;
// The entries a stored count gives: one for each even number below it.
long RowCount(long storedCount) { return (storedCount + kNumbersPerEntry - 1) / kNumbersPerEntry; }

constexpr AgentDataStore::Column kMarkupColumns[] = {
    {kKeyMarkup, 0}, {kKeyObjectId, 1}, {kStoredKeyLocalPath, 1}};
constexpr AgentDataStore::Column kPartColumns[] = {{kStoredKeyPart, 0}, {kStoredKeyPartId, 1}};

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
    const std::vector<std::string_view> markups =
        store.ReadRows(kSectionViewList, kMarkupColumns, RowCount(record.m_nNumMarkups), kNumbersPerEntry);
    for (size_t at = 0; at < markups.size(); at += std::size(kMarkupColumns)) {
        // A new entry's texts are empty: only those with a value are set.
        ViewListEntry& markup = record.m_markups.Append();
        if (!markups[at].empty()) markup.m_strLocation = markups[at];
        if (!markups[at + 1].empty()) markup.m_strObjectID = markups[at + 1];
        if (!markups[at + 2].empty()) markup.m_strLocalPath = markups[at + 2];
        markup.m_bLoaded = true;
    }

    record.m_parts.RemoveAll();
    record.m_nNumParts = StoredCount(store.FindValue(kSectionViewList, kKeyNumParts));
    record.m_parts.Reserve(static_cast<size_t>(record.m_nNumParts / 2 + 1));
    const std::vector<std::string_view> parts =
        store.ReadRows(kSectionViewList, kPartColumns, RowCount(record.m_nNumParts), kNumbersPerEntry);
    for (size_t at = 0; at < parts.size(); at += std::size(kPartColumns)) {
        ViewListEntry& part = record.m_parts.Append();
        part.m_strLocation = parts[at];
        part.m_strObjectID = parts[at + 1];
    }

    record.m_strServerPath = launchFile;
    return opened;
}

HRESULT StoreViewList(AgentDataStore& store, IAgentHelper* helper, const LONG (&documentKey)[2],
                      const std::string& launchFile, const SessionRecord& record) {
    RETURN_IF_FAILED(store.OpenForDocument(helper, documentKey));

    HRESULT firstFailure = S_OK;
    const auto write = [&](AgentDataStore::Name& name, long number, const std::string& value) {
        const HRESULT hr = store.WriteValue(name, number, value);
        if (FAILED(hr) && SUCCEEDED(firstFailure)) firstFailure = hr;
        return hr;
    };
    const auto writeOnce = [&](std::string_view section, std::string_view key, const std::string& value) {
        AgentDataStore::Name name = AgentDataStore::NameOf(section, key);
        return write(name, AgentDataStore::kUnnumbered, value);
    };
    writeOnce(kSectionServerFile, kKeyServerPath, UrlDecode(launchFile));
    writeOnce(kSectionServerFile, kStoredKeyObjectId, record.m_strObjectID);
    writeOnce(kSectionServerFile, kKeyViewMode, record.m_strViewMode);
    writeOnce(kSectionServerFile, kKeyPdmVendor, record.m_strPDMVendor);
    writeOnce(kSectionServerFile, kKeyPdmHost, record.m_strPDMHost);
    writeOnce(kSectionServerFile, kKeyPdmPort, record.m_strPDMPort);

    // Each key's name is made once for the list; only its number changes.
    AgentDataStore::Name markupName = AgentDataStore::NameOf(kSectionViewList, kKeyMarkup);
    AgentDataStore::Name objectIdName = AgentDataStore::NameOf(kSectionViewList, kKeyObjectId);
    AgentDataStore::Name localPathName = AgentDataStore::NameOf(kSectionViewList, kStoredKeyLocalPath);
    long number = 0;
    for (const ViewListEntry& markup : record.m_markups) {
        write(markupName, number, markup.m_strLocation);
        write(objectIdName, number + 1, markup.m_strObjectID);
        write(localPathName, number + 1, markup.m_strLocalPath);
        number += kNumbersPerEntry;
    }
    writeOnce(kSectionViewList, kKeyNumMarkups, DecimalText(number));

    AgentDataStore::Name partName = AgentDataStore::NameOf(kSectionViewList, kStoredKeyPart);
    AgentDataStore::Name partIdName = AgentDataStore::NameOf(kSectionViewList, kStoredKeyPartId);
    number = 0;
    for (const ViewListEntry& part : record.m_parts) {
        write(partName, number, part.m_strLocation);
        write(partIdName, number + 1, part.m_strObjectID);
        number += kNumbersPerEntry;
    }
    const HRESULT last = writeOnce(kSectionViewList, kKeyNumParts, DecimalText(number));
    return FAILED(firstFailure) ? firstFailure : last;
}
