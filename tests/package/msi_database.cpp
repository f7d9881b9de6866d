#include "tests/package/msi_database.h"

namespace {

std::string RecordString(MSIHANDLE record, UINT field) {
    DWORD size = 0;
    char empty[1] = {};
    if (MsiRecordGetStringA(record, field, empty, &size) != ERROR_MORE_DATA) return {};
    std::string text(size + 1, '\0');
    ++size;
    if (MsiRecordGetStringA(record, field, text.data(), &size) != ERROR_SUCCESS) return {};
    text.resize(size);
    return text;
}

}  // namespace

PackageDatabase::PackageDatabase(const std::string& path) {
    if (MsiOpenDatabaseA(path.c_str(), MSIDBOPEN_READONLY, m_database.put()) != ERROR_SUCCESS) m_database.reset();
}

std::optional<TableRows> PackageDatabase::Query(const std::string& sql) const {
    UniqueMsiHandle view;
    if (MsiDatabaseOpenViewA(m_database.get(), sql.c_str(), view.put()) != ERROR_SUCCESS) return std::nullopt;
    if (MsiViewExecute(view.get(), 0) != ERROR_SUCCESS) return std::nullopt;
    TableRows rows;
    for (;;) {
        UniqueMsiHandle record;
        const UINT status = MsiViewFetch(view.get(), record.put());
        if (status == ERROR_NO_MORE_ITEMS) return rows;
        if (status != ERROR_SUCCESS) return std::nullopt;
        std::vector<std::string> row;
        const UINT fields = MsiRecordGetFieldCount(record.get());
        for (UINT field = 1; field <= fields; ++field) row.push_back(RecordString(record.get(), field));
        rows.push_back(std::move(row));
    }
}

std::string PackageDatabase::Property(const std::string& name) const {
    const auto rows = Query("SELECT `Value` FROM `Property` WHERE `Property` = '" + name + "'");
    return rows && rows->size() == 1 ? rows->front().front() : std::string("<no ") + name + ">";
}

std::string PackageDatabase::SummaryText(UINT property) const {
    UniqueMsiHandle summary;
    if (MsiGetSummaryInformationA(m_database.get(), nullptr, 0, summary.put()) != ERROR_SUCCESS) return {};
    UINT type = 0;
    char text[512] = {};
    DWORD size = sizeof text;
    if (MsiSummaryInfoGetPropertyA(summary.get(), property, &type, nullptr, nullptr, text, &size) != ERROR_SUCCESS)
        return {};
    return text;
}

INT PackageDatabase::SummaryNumber(UINT property) const {
    UniqueMsiHandle summary;
    if (MsiGetSummaryInformationA(m_database.get(), nullptr, 0, summary.put()) != ERROR_SUCCESS) return -1;
    UINT type = 0;
    INT number = -1;
    DWORD size = 0;
    if (MsiSummaryInfoGetPropertyA(summary.get(), property, &type, &number, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return -1;
    return number;
}
