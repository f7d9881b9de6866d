// The registry calls the agent makes. The Windows build uses the system's;
// the native build declares the same subset, served by a small store of our
// own kept in a file (platform/native), so that the same registry code runs
// in both builds and a native viewer can read what the agent wrote.
#pragma once

#include "platform/com.h"

#include <utility>

#ifndef _WIN32

typedef int32_t LSTATUS;
typedef uint32_t REGSAM;
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_INVALID_PARAMETER 87L
#define REG_OPTION_NON_VOLATILE 0
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F
#define ERROR_BAD_PATHNAME 161L
#define ERROR_KEY_DELETED 1018L
#define REG_NONE 0
#define REG_BINARY 3
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_WOW64_64KEY 0x0100

// The store's file: $NUV_REGISTRY_FILE when set, else ~/.zelview/registry.
LSTATUS RegCreateKeyExA(HKEY hive, const char* subKey, DWORD reserved, char* cls, DWORD options, REGSAM sam,
                        void* security, HKEY* result, DWORD* disposition);
LSTATUS RegOpenKeyExA(HKEY hive, const char* subKey, DWORD options, REGSAM sam, HKEY* result);
LSTATUS RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LSTATUS RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LSTATUS RegDeleteTreeA(HKEY key, const char* subKey);
LSTATUS RegDeleteKeyA(HKEY key, const char* subKey);
LSTATUS RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, char* cls,
                      DWORD* clsSize, void* lastWrite);
LSTATUS RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LSTATUS RegCloseKey(HKEY key);

#endif  // !_WIN32

// Owns one open registry key, in the manner of WIL's unique_hkey.
class UniqueHkey {
public:
    UniqueHkey() = default;
    ~UniqueHkey() { reset(); }
    UniqueHkey(UniqueHkey&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}
    UniqueHkey& operator=(UniqueHkey&& other) noexcept {
        if (this != &other) {
            reset();
            m_key = std::exchange(other.m_key, nullptr);
        }
        return *this;
    }
    UniqueHkey(const UniqueHkey&) = delete;
    UniqueHkey& operator=(const UniqueHkey&) = delete;

    HKEY get() const { return m_key; }
    HKEY* put() {
        reset();
        return &m_key;
    }
    explicit operator bool() const { return m_key != nullptr; }
    void reset() {
        if (HKEY key = std::exchange(m_key, nullptr)) RegCloseKey(key);
    }

private:
    HKEY m_key = nullptr;
};
