// Reads an installer package's tables and summary through the system's
// Windows Installer (msi.dll), the way an administrator's tools do.
#pragma once

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Owns one installer handle, in the manner of WIL's unique_handle.
class UniqueMsiHandle {
public:
    UniqueMsiHandle() = default;
    ~UniqueMsiHandle() { reset(); }
    UniqueMsiHandle(UniqueMsiHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, 0)) {}
    UniqueMsiHandle& operator=(UniqueMsiHandle&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, 0);
        }
        return *this;
    }
    UniqueMsiHandle(const UniqueMsiHandle&) = delete;
    UniqueMsiHandle& operator=(const UniqueMsiHandle&) = delete;

    MSIHANDLE get() const { return m_handle; }
    MSIHANDLE* put() {
        reset();
        return &m_handle;
    }
    explicit operator bool() const { return m_handle != 0; }
    void reset() {
        if (MSIHANDLE handle = std::exchange(m_handle, 0)) MsiCloseHandle(handle);
    }

private:
    MSIHANDLE m_handle = 0;
};

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
