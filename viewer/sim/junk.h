// What a failing viewer call leaves in its out arguments when a fault says
// so (FailOperationWithJunk): a caller must forget it, never release, call or
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
class JunkObject final : public IUnknown {
public:
    explicit JunkObject(std::string operation) : m_operation(std::move(operation)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

#define JUNK_SLOT(n)                                \
    virtual HRESULT STDMETHODCALLTYPE Slot##n() {   \
        Used("operation " #n);                      \
        return E_UNEXPECTED;                        \
    }
    JUNK_SLOT(3) JUNK_SLOT(4) JUNK_SLOT(5) JUNK_SLOT(6) JUNK_SLOT(7) JUNK_SLOT(8) JUNK_SLOT(9)
    JUNK_SLOT(10) JUNK_SLOT(11) JUNK_SLOT(12) JUNK_SLOT(13) JUNK_SLOT(14) JUNK_SLOT(15) JUNK_SLOT(16)
    JUNK_SLOT(17) JUNK_SLOT(18) JUNK_SLOT(19) JUNK_SLOT(20) JUNK_SLOT(21) JUNK_SLOT(22) JUNK_SLOT(23)
    JUNK_SLOT(24) JUNK_SLOT(25) JUNK_SLOT(26) JUNK_SLOT(27) JUNK_SLOT(28) JUNK_SLOT(29) JUNK_SLOT(30)
    JUNK_SLOT(31) JUNK_SLOT(32) JUNK_SLOT(33) JUNK_SLOT(34) JUNK_SLOT(35) JUNK_SLOT(36) JUNK_SLOT(37)
    JUNK_SLOT(38) JUNK_SLOT(39) JUNK_SLOT(40) JUNK_SLOT(41) JUNK_SLOT(42) JUNK_SLOT(43) JUNK_SLOT(44)
    JUNK_SLOT(45) JUNK_SLOT(46) JUNK_SLOT(47) JUNK_SLOT(48) JUNK_SLOT(49) JUNK_SLOT(50) JUNK_SLOT(51)
    JUNK_SLOT(52) JUNK_SLOT(53) JUNK_SLOT(54) JUNK_SLOT(55) JUNK_SLOT(56) JUNK_SLOT(57) JUNK_SLOT(58)
    JUNK_SLOT(59) JUNK_SLOT(60)
#undef JUNK_SLOT

private:
    void Used(const char* what);
    std::string m_operation;
};

// An out text buffer and its size, in characters.
struct JunkText {
    char* buffer;
    LONG size;
};
struct JunkWideText {
    WCHAR* buffer;
    LONG count;
};

void LeaveJunk(std::string_view operation, void** out);
template <class Interface>
void LeaveJunk(std::string_view operation, Interface** out) {
    LeaveJunk(operation, reinterpret_cast<void**>(out));
}
void LeaveJunk(std::string_view operation, LONG* out);
void LeaveJunk(std::string_view operation, JunkText out);
void LeaveJunk(std::string_view operation, JunkWideText out);

template <class... Outs>
void LeaveJunkIn(std::string_view operation, Outs... outs) {
    (LeaveJunk(operation, outs), ...);
}

}  // namespace nuvsim
