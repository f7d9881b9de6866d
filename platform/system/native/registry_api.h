// The registry calls of the native build: the subset the agent, the
// registration code and the tests make, with the Windows names, served by a
// store of our own kept in a file (registry_store.cpp). Reached
// through platform/system/registry_api.h.
#pragma once

#include "platform/com/com.h"

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
#define REG_MULTI_SZ 7
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
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
// The wide form: names and REG_SZ / REG_EXPAND_SZ data converted from the
// store's ANSI text by the code page, other data as it is.
LSTATUS RegEnumValueW(HKEY key, DWORD index, WCHAR* name, DWORD* nameSize, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LSTATUS RegCloseKey(HKEY key);
