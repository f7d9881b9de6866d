// Owning holder of one COM reference, in the manner of WIL's com_ptr:
// put() releases what is held before handing out the address, attach() takes
// a reference without AddRef, copy() adds one, receive() keeps what a call
// hands out only when the call succeeds, query() asks for another interface
// by its type.
#pragma once

#include "platform/com/com.h"

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

    // Takes ownership of a reference the caller already holds.
    void attach(T* p) noexcept {
        reset();
        m_p = p;
    }
    // Gives up ownership without releasing.
    [[nodiscard]] T* detach() noexcept { return std::exchange(m_p, nullptr); }

    // Releases what is held, runs call with an out argument (T**) and holds
    // what the call handed out only when it succeeded. A failed call's out
    // value is not trusted to be a reference: it is forgotten, never released
    // or called.
    //   RETURN_IF_FAILED(p.receive([&](auto out) { return source->GetThing(out); }));
    //   RETURN_IF_FAILED(p.receive([&](auto out) { return source->GetAny(IID_PPV(out)); }));
    template <typename Call>
    HRESULT receive(Call&& call) {
        reset();
        T* received = nullptr;
        const HRESULT hr = std::forward<Call>(call)(&received);
        if (SUCCEEDED(hr)) m_p = received;
        return hr;
    }

    void reset() noexcept {
        if (T* p = std::exchange(m_p, nullptr)) p->Release();
    }
    void swap(ComPtr& other) noexcept { std::swap(m_p, other.m_p); }

    // Asks the held object for the interface U; out holds it only on success.
    template <typename U>
    HRESULT query(ComPtr<U>& out) const {
        out.reset();
        if (!m_p) return E_POINTER;
        return out.receive([&](U** received) { return m_p->QueryInterface(IID_PPV(received)); });
    }

private:
    void AddRefHeld() noexcept {
        if (m_p) m_p->AddRef();
    }
    T* m_p = nullptr;
};
