// The COM basics the agent is written against. The Windows build takes them
// from the system headers; the native build defines the same names with the
// same layout, so that one set of sources compiles in both.
#pragma once

#include <type_traits>

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>

#else  // native build

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

typedef int32_t HRESULT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t DWORD;
typedef uint8_t BYTE;
typedef int BOOL;
typedef char16_t WCHAR;
typedef struct NativeHkey* HKEY;

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;

#endif

// Every interface has its identifier once, on its type: iid_of<IFoo>. A type
// without one is no interface, and asking for its identifier does not compile,
// so an identifier can never be paired with the wrong type at a call site.
template <typename Interface>
struct InterfaceId;
template <typename Interface>
inline constexpr const IID& iid_of = InterfaceId<Interface>::value;

#define DECLARE_INTERFACE_ID(Interface, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)     \
    template <>                                                                      \
    struct InterfaceId<Interface> {                                                  \
        static constexpr IID value = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}; \
    }

#ifdef _WIN32

// The system's own interfaces keep the system's identifiers.
template <>
struct InterfaceId<IUnknown> {
    static constexpr const IID& value = IID_IUnknown;
};
template <>
struct InterfaceId<IStream> {
    static constexpr const IID& value = IID_IStream;
};
template <>
struct InterfaceId<IClassFactory> {
    static constexpr const IID& value = IID_IClassFactory;
};

#else  // native build

#define STDMETHODCALLTYPE
#define STDAPI extern "C" HRESULT

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_ABORT ((HRESULT)0x80004004L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define E_ACCESSDENIED ((HRESULT)0x80070005L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111L)
#define SELFREG_E_CLASS ((HRESULT)0x80040201L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#define CLSCTX_INPROC_SERVER 1
#define REG_SZ 1
#define REG_DWORD 4
#define MB_OK 0
#define IDOK 1
#define MAX_PATH 260

#define HKEY_CLASSES_ROOT ((HKEY)(uintptr_t)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)

typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
typedef const GUID& REFGUID;

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
inline bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

// The native build never reads a stream through this interface; the viewer
// hands it out and the agent passes it on.
struct IStream : IUnknown {};

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;
};

DECLARE_INTERFACE_ID(IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
DECLARE_INTERFACE_ID(IStream, 0x0000000C, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
DECLARE_INTERFACE_ID(IClassFactory, 0x00000001, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);

inline void* CoTaskMemAlloc(size_t size) { return std::malloc(size ? size : 1); }
inline void CoTaskMemFree(void* p) { std::free(p); }

#endif  // _WIN32

// A typed out argument as the pair an operation that takes an identifier
// wants, in the manner of IID_PPV_ARGS: the identifier of the interface the
// argument receives, and the argument as void**.
//   source->GetDocument(handle, IID_PPV(document.put()))
template <typename T>
void** VoidOut(T** out) noexcept {
    static_assert(std::is_base_of_v<IUnknown, T>, "an out argument of an interface type");
    return reinterpret_cast<void**>(out);
}
#define IID_PPV(out) iid_of<std::remove_pointer_t<std::remove_pointer_t<decltype(out)>>>, VoidOut(out)
