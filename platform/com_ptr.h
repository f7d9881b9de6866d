// Owning holder of one COM reference, in the manner of WIL's com_ptr:
// put() releases what is held before handing out the address, attach() takes
// a reference without AddRef, copy() adds one.
#pragma once

#include "platform/com.h"

#include <utility>

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ComPtr(const ComPtr& other) noexcept : m_p(other.m_p) { AddRefHeld(); }
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(const ComPtr& other) noexcept {
        ComPtr(other).swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) noexcept {
        reset();
        return *this;
    }

    // Takes a new reference on p.
    static ComPtr copy(T* p) noexcept {
        ComPtr result;
        result.m_p = p;
        result.AddRefHeld();
        return result;
    }

    T* get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    // Releases what is held and hands out the address for an out argument.
    T** put() noexcept {
        reset();
        return &m_p;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // Takes ownership of a reference the caller already holds.
    void attach(T* p) noexcept {
        reset();
        m_p = p;
    }
    // Gives up ownership without releasing.
    [[nodiscard]] T* detach() noexcept { return std::exchange(m_p, nullptr); }

    // Forgets what a failed call left in its out argument, without a release:
    // such a value is not trusted to be a reference.
    void forget() noexcept { m_p = nullptr; }

    void reset() noexcept {
        if (T* p = std::exchange(m_p, nullptr)) p->Release();
    }
    void swap(ComPtr& other) noexcept { std::swap(m_p, other.m_p); }

    // Asks the held object for another interface.
    template <typename U>
    HRESULT query(REFIID iid, ComPtr<U>& out) const noexcept {
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(iid, out.put_void());
    }

private:
    void AddRefHeld() noexcept {
        if (m_p) m_p->AddRef();
    }
    T* m_p = nullptr;
};
