// The COM basics the agent is written against: the Windows build takes them
// from the system headers, the native build from definitions of its own with
// the same names and layout (com_basics.h of platform/com/win32/ or
// platform/com/native/, whichever the build compiles). On top of either, each
// interface's identifier on its type.
#pragma once

#include <type_traits>

// Every interface has its identifier once, on its type: iid_of<IFoo>. A type
// without one is no interface, and asking for its identifier does not compile,
// so an identifier can never be paired with the wrong type at a call site.
template <typename Interface>
struct InterfaceId;

// The parts (a long, two shorts, eight bytes) may come as one macro, as the
// identifiers generated from the type library source do.
#define ZEL_GUID(...) ZEL_GUID_PARTS(__VA_ARGS__)
#define ZEL_GUID_PARTS(l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}

#define DECLARE_INTERFACE_ID(Interface, ...)                 \
    template <>                                              \
    struct InterfaceId<Interface> {                          \
        static constexpr IID value = ZEL_GUID(__VA_ARGS__); \
    }

#include "platform/build_part.h"
#include ZEL_PLATFORM_HEADER(com, com_basics.h)

template <typename Interface>
inline constexpr const IID& iid_of = InterfaceId<Interface>::value;

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
