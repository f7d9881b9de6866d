// Reads an installer package's tables and summary through the system's
// Windows Installer (msi.dll), the way an administrator's tools do.
#pragma once

#include "platform/com/unique_resource.h"

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <optional>
#include <string>
#include <vector>

// Owns one installer handle (a database, a view, a record).
struct MsiHandleTraits {
    using Handle = MSIHANDLE;
    static constexpr Handle kEmpty = 0;
    static void Close(Handle handle) { MsiCloseHandle(handle); }
};
using UniqueMsiHandle = UniqueResource<MsiHandleTraits>;

using TableRows = std::vector<std::vector<std::string>>;

class PackageDatabase {
public:
    explicit PackageDatabase(const std::string& path);  // read-only
    bool Opened() const { return static_cast<bool>(m_database); }

    // Every column as text, a null field as empty; nullopt when the query
    // fails, for example on a table the package does not have.
    std::optional<TableRows> Query(const std::string& sql) const;
    std::string Property(const std::string& name) const;
    std::string SummaryText(UINT property) const;
    INT SummaryNumber(UINT property) const;

private:
    UniqueMsiHandle m_database;
};
