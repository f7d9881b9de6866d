// The registry calls the agent makes. The Windows build uses the system's;
// the native build declares the same subset, served by a small store of our
// own kept in a file (os/registry_api.h: platform/win32/ or platform/native/),
// so that the same registry code runs in both builds and a native viewer can
// read what the agent wrote.
#pragma once

#include "os/registry_api.h"

#include <utility>

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
