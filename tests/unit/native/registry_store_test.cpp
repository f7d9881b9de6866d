// The native registry store: Windows registry semantics over a shared file.

#include "platform/system/registry_api.h"
#include "platform/text/codepage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class RegistryStore : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelreg-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_file = m_dir / "registry";
        setenv("NUV_REGISTRY_FILE", m_file.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("NUV_REGISTRY_FILE");
        fs::remove_all(m_dir);
    }

    UniqueHkey Create(const char* path, LSTATUS expected = ERROR_SUCCESS, HKEY parent = HKEY_CURRENT_USER) {
        UniqueHkey key;
        EXPECT_EQ(RegCreateKeyExA(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr), expected)
            << path;
        return key;
    }
    LSTATUS Open(const char* path, UniqueHkey& key, REGSAM sam = KEY_READ) {
        return RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, sam, key.put());
    }
    static void SetDword(HKEY key, const char* name, DWORD value) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
                  ERROR_SUCCESS);
    }
    static LSTATUS GetDword(HKEY key, const char* name, DWORD& value) {
        DWORD size = sizeof value;
        DWORD type = REG_NONE;
        const LSTATUS status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        if (status == ERROR_SUCCESS) {
            EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        }
        return status;
    }
    // Runs body in a child process, as a second program on the same store would.
    static void InChild(const std::function<void()>& body) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            body();
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "the child ended with status " << status;
    }

    fs::path m_dir;
    fs::path m_file;
};

TEST_F(RegistryStore, PathsResolveAsTheRegistryReadsThem) {
    DWORD disposition = 0;
    UniqueHkey created;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarnex\\\\ZelPDM", 0, nullptr, 0, KEY_WRITE, nullptr,
                              created.put(), &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    SetDword(created.get(), "PreserveExtensions", 1);

    UniqueHkey opened;
    ASSERT_EQ(Open("SOFTWARE\\tarnex\\zelpdm\\", opened), ERROR_SUCCESS);
    DWORD value = 0;
    EXPECT_EQ(GetDword(opened.get(), "preserveextensions", value), ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(Open("Software\\Tarnex", opened), ERROR_SUCCESS) << "intermediate keys are created";

    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\TARNEX\\zelpdm", 0, nullptr, 0, KEY_WRITE, nullptr,
                              created.put(), &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));

    Create("\\Software\\Lead", ERROR_BAD_PATHNAME);
    EXPECT_EQ(Open("Software\\Missing", opened), ERROR_FILE_NOT_FOUND);
    Create(std::string(256, 'k').c_str(), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryStore, ValuesKeepTypeAndBytesAndReportShortBuffers) {
    UniqueHkey key = Create("Software\\Values");
    const BYTE blob[] = {0, '\n', '\t', '%', '\\', 0xFF, ' ', 'x'};
    const char* name = "odd \\ name\twith%25 bytes\n";
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("dflt"), 5), ERROR_SUCCESS);

    UniqueHkey again;
    ASSERT_EQ(Open("Software\\Values", again), ERROR_SUCCESS);
    BYTE buffer[16] = {};
    DWORD size = 3;
    DWORD type = REG_NONE;
    EXPECT_EQ(RegQueryValueExA(again.get(), name, nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof blob);
    size = 0;
    EXPECT_EQ(RegQueryValueExA(again.get(), name, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof blob);
    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(again.get(), name, nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size),
              std::string(reinterpret_cast<const char*>(blob), sizeof blob));

    size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(again.get(), "", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char*>(buffer), "dflt");
    EXPECT_EQ(RegQueryValueExA(again.get(), "absent", nullptr, &type, buffer, &size), ERROR_FILE_NOT_FOUND);

    SetDword(key.get(), "Count", 1);
    SetDword(key.get(), "COUNT", 2);
    DWORD value = 0;
    EXPECT_EQ(GetDword(again.get(), "count", value), ERROR_SUCCESS);
    EXPECT_EQ(value, 2u) << "the second write replaces the first, whatever the case";
}

// The wide enumeration gives text values in wide text, the rest as stored.
TEST_F(RegistryStore, WideEnumerationConvertsTextsOnly) {
    UniqueHkey key = Create("Software\\Wide");
    ASSERT_EQ(RegSetValueExA(key.get(), "a\xC3\xA9", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\\xC3\xA9"), 6),
              ERROR_SUCCESS);
    SetDword(key.get(), "z", 7);
    WCHAR name[16] = {};
    BYTE data[32] = {};
    DWORD nameSize = 16, dataSize = sizeof data, type = REG_NONE;
    ASSERT_EQ(RegEnumValueW(key.get(), 0, name, &nameSize, nullptr, &type, data, &dataSize), ERROR_SUCCESS);
    EXPECT_EQ(WideString(name, nameSize), (WideString{'a', 0xE9}));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(dataSize, 5 * sizeof(WCHAR));
    EXPECT_EQ(WideString(reinterpret_cast<const WCHAR*>(data)), (WideString{'C', ':', '\\', 0xE9}));
    nameSize = 16, dataSize = 2;
    EXPECT_EQ(RegEnumValueW(key.get(), 1, name, &nameSize, nullptr, &type, data, &dataSize), ERROR_MORE_DATA);
    EXPECT_EQ(dataSize, sizeof(DWORD));
}

TEST_F(RegistryStore, BadArgumentsAndHandlesAreRefused) {
    UniqueHkey key = Create("Software\\Args");
    DWORD value = 0;
    DWORD size = sizeof value;
    const HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x1234));
    EXPECT_EQ(RegSetValueExA(bogus, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(nullptr, "v", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "x", 0, nullptr, 0, KEY_WRITE, nullptr, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key.get(), "v", 0, REG_DWORD, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(key.get(), "v", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegEnumKeyExA(key.get(), 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKeyA(key.get(), nullptr), ERROR_INVALID_PARAMETER);

    HKEY raw = key.get();
    key.reset();
    EXPECT_EQ(RegCloseKey(raw), ERROR_INVALID_HANDLE) << "a closed handle is not closed twice";

    UniqueHkey readOnly;
    ASSERT_EQ(Open("Software\\Args", readOnly, KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(readOnly.get(), "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4),
              ERROR_ACCESS_DENIED);
}

TEST_F(RegistryStore, DeletingKeysAndTrees) {
    Create("Software\\T\\A\\Deep");
    UniqueHkey b = Create("Software\\T\\B");
    SetDword(b.get(), "v", 7);
    UniqueHkey t;
    ASSERT_EQ(Open("Software\\T", t, KEY_ALL_ACCESS), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteKeyA(t.get(), "A"), ERROR_ACCESS_DENIED) << "only leaf keys";
    EXPECT_EQ(RegDeleteKeyA(t.get(), "A\\Deep"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(t.get(), "A\\Deep"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED) << "a hive stays";

    DWORD value = 0;
    EXPECT_EQ(GetDword(b.get(), "v", value), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeA(t.get(), "b"), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(b.get(), "v", value), ERROR_KEY_DELETED) << "a handle on a deleted key";
    EXPECT_EQ(RegDeleteTreeA(t.get(), "b"), ERROR_FILE_NOT_FOUND);

    Create("Software\\T\\C\\D");
    SetDword(t.get(), "own", 1);
    EXPECT_EQ(RegDeleteTreeA(t.get(), nullptr), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(t.get(), "own", value), ERROR_FILE_NOT_FOUND);
    UniqueHkey probe;
    EXPECT_EQ(Open("Software\\T\\C", probe), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open("Software\\T", probe), ERROR_SUCCESS) << "null subkey empties the key and keeps it";
}

TEST_F(RegistryStore, EnumeratesSubkeysInRegistryOrder) {
    Create("Software\\E\\Zeta");
    Create("Software\\E\\alpha");
    Create("Software\\E\\Beta");
    UniqueHkey e;
    ASSERT_EQ(Open("Software\\E", e), ERROR_SUCCESS);
    std::vector<std::string> names;
    char name[64];
    DWORD size = sizeof name;
    for (DWORD i = 0; RegEnumKeyExA(e.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof name) {
        EXPECT_EQ(size, std::strlen(name));
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Beta", "Zeta"}));
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(e.get(), 3, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    size = 5;  // "alpha" needs six with its terminator
    EXPECT_EQ(RegEnumKeyExA(e.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
}

TEST_F(RegistryStore, ProcessesShareTheStore) {
    UniqueHkey key = Create("Software\\Shared");
    InChild([] {
        UniqueHkey child;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Shared", 0, nullptr, 0, KEY_WRITE, nullptr, child.put(), nullptr);
        DWORD value = 5;
        RegSetValueExA(child.get(), "FromChild", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
    });
    DWORD value = 0;
    EXPECT_EQ(GetDword(key.get(), "FromChild", value), ERROR_SUCCESS);
    EXPECT_EQ(value, 5u);

    // Two writers at once lose nothing: each change is made under the lock.
    constexpr int kWriters = 2;
    constexpr int kWrites = 40;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0; i < kWrites; ++i) {
                UniqueHkey k;
                RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Shared", 0, nullptr, 0, KEY_WRITE, nullptr, k.put(),
                                nullptr);
                const std::string name = "w" + std::to_string(w) + "_" + std::to_string(i);
                DWORD data = static_cast<DWORD>(i);
                RegSetValueExA(k.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&data), 4);
            }
            _exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) waitpid(child, nullptr, 0);
    for (int w = 0; w < kWriters; ++w) {
        for (int i = 0; i < kWrites; ++i) {
            const std::string name = "w" + std::to_string(w) + "_" + std::to_string(i);
            EXPECT_EQ(GetDword(key.get(), name.c_str(), value), ERROR_SUCCESS) << name;
        }
    }
}

TEST_F(RegistryStore, CorruptFilesReadAsEmpty) {
    const std::string samples[] = {
        std::string("garbage\n"),
        std::string("zelview-registry 1\nV\tHKCU\tSoftware\tv\t4\t010\n"),  // odd hex
        std::string("zelview-registry 1\nK\tHKXX\tSoftware\n"),
        std::string("zelview-registry 1\nV\tHKCU\tSoft%zzware\tv\t4\t01000000\n"),
        std::string("zelview-registry 1\nK\tHKCU\tA\\\\B\n"),
        std::string("zelview-registry 1\nV\tHKCU\tSoftware\tv\t99999999999\t\n"),
        std::string("zelview-registry 1\nK\tHKCU\t") + std::string(2000, 'k') + "\n",
        "zelview-registry 1\nK\tHKCU\t" + [] {
            std::string deep;
            for (int i = 0; i < 100000; ++i) deep += "k\\";
            return deep + "k";
        }() + "\n",
        std::string("\0\1\2\xFF", 4),
    };
    for (const std::string& sample : samples) {
        std::ofstream(m_file, std::ios::binary | std::ios::trunc) << sample;
        UniqueHkey key;
        EXPECT_EQ(Open("Software", key), ERROR_FILE_NOT_FOUND) << sample.substr(0, 60);
        UniqueHkey created = Create("Software\\After");
        SetDword(created.get(), "v", 3);
        DWORD value = 0;
        EXPECT_EQ(GetDword(created.get(), "v", value), ERROR_SUCCESS) << "the store is usable again";
    }
}

TEST(RegistryStoreLocation, DefaultsToTheUsersFolder) {
    char pattern[] = "/tmp/zelhome-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string home = pattern;
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    setenv("HOME", home.c_str(), 1);
    unsetenv("NUV_REGISTRY_FILE");
    {
        UniqueHkey key;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Home", 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                                  nullptr),
                  ERROR_SUCCESS);
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(home + "/.zelview/registry")) << home << "/.zelview/registry";
    if (oldHome) setenv("HOME", savedHome.c_str(), 1);
    std::filesystem::remove_all(home);
}

}  // namespace
