// Owns one handle of a kind the system hands out (a registry key, a kernel
// object, an installer record), in the manner of WIL's unique_any. Traits
// name the handle's type, its empty value and how it is closed.
#pragma once

#include <utility>

template <typename Traits>
class UniqueResource {
public:
    using Handle = typename Traits::Handle;

    UniqueResource() = default;
    explicit UniqueResource(Handle handle) : m_handle(handle) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept : m_handle(std::exchange(other.m_handle, Traits::kEmpty)) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, Traits::kEmpty);
        }
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Handle get() const { return m_handle; }
    // For a call that hands out a new handle; the one held is closed first.
    Handle* put() {
        reset();
        return &m_handle;
    }
    explicit operator bool() const { return m_handle != Traits::kEmpty; }
    void reset() {
        Handle handle = std::exchange(m_handle, Traits::kEmpty);
        if (handle != Traits::kEmpty) Traits::Close(handle);
    }

private:
    Handle m_handle = Traits::kEmpty;
};
