// What a failing viewer call leaves in its out arguments when a fault says
// so (FailOperationWithGarbage): a caller must forget it, never release, call or
// read it.
#pragma once

#include "platform/com/com.h"

#include <string>
#include <string_view>

namespace nuvsim {

// Left where a failed call hands out an interface. Every use of it, whatever
// the slot, is recorded as a reference error. A call through a slot past
// IUnknown is answered natively; in the 32-bit build such a call with
// arguments unbalances the caller's stack, which the test sees as well.
class GarbageObject final : public IUnknown {
public:
    explicit GarbageObject(std::string operation) : m_operation(std::move(operation)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

#define GARBAGE_SLOT(n)                                \
    virtual HRESULT STDMETHODCALLTYPE Slot##n() {   \
        Used("operation " #n);                      \
        return E_UNEXPECTED;                        \
    }
    GARBAGE_SLOT(3) GARBAGE_SLOT(4) GARBAGE_SLOT(5) GARBAGE_SLOT(6) GARBAGE_SLOT(7) GARBAGE_SLOT(8) GARBAGE_SLOT(9)
    GARBAGE_SLOT(10) GARBAGE_SLOT(11) GARBAGE_SLOT(12) GARBAGE_SLOT(13) GARBAGE_SLOT(14) GARBAGE_SLOT(15) GARBAGE_SLOT(16)
    GARBAGE_SLOT(17) GARBAGE_SLOT(18) GARBAGE_SLOT(19) GARBAGE_SLOT(20) GARBAGE_SLOT(21) GARBAGE_SLOT(22) GARBAGE_SLOT(23)
    GARBAGE_SLOT(24) GARBAGE_SLOT(25) GARBAGE_SLOT(26) GARBAGE_SLOT(27) GARBAGE_SLOT(28) GARBAGE_SLOT(29) GARBAGE_SLOT(30)
    GARBAGE_SLOT(31) GARBAGE_SLOT(32) GARBAGE_SLOT(33) GARBAGE_SLOT(34) GARBAGE_SLOT(35) GARBAGE_SLOT(36) GARBAGE_SLOT(37)
    GARBAGE_SLOT(38) GARBAGE_SLOT(39) GARBAGE_SLOT(40) GARBAGE_SLOT(41) GARBAGE_SLOT(42) GARBAGE_SLOT(43) GARBAGE_SLOT(44)
    GARBAGE_SLOT(45) GARBAGE_SLOT(46) GARBAGE_SLOT(47) GARBAGE_SLOT(48) GARBAGE_SLOT(49) GARBAGE_SLOT(50) GARBAGE_SLOT(51)
    GARBAGE_SLOT(52) GARBAGE_SLOT(53) GARBAGE_SLOT(54) GARBAGE_SLOT(55) GARBAGE_SLOT(56) GARBAGE_SLOT(57) GARBAGE_SLOT(58)
    GARBAGE_SLOT(59) GARBAGE_SLOT(60)
#undef GARBAGE_SLOT

private:
    void Used(const char* what);
    std::string m_operation;
};

// An out text buffer and its size, in characters.
struct GarbageText {
    char* buffer;
    LONG size;
};
struct GarbageWideText {
    WCHAR* buffer;
    LONG count;
};

void LeaveGarbage(std::string_view operation, void** out);
template <class Interface>
void LeaveGarbage(std::string_view operation, Interface** out) {
    LeaveGarbage(operation, reinterpret_cast<void**>(out));
}
void LeaveGarbage(std::string_view operation, LONG* out);
void LeaveGarbage(std::string_view operation, GarbageText out);
void LeaveGarbage(std::string_view operation, GarbageWideText out);

template <class... Outs>
void LeaveGarbageIn(std::string_view operation, Outs... outs) {
    (LeaveGarbage(operation, outs), ...);
}

}  // namespace nuvsim
