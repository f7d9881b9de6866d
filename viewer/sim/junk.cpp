#include "viewer/sim/junk.h"

#include "viewer/sim/world.h"

#include <algorithm>

namespace nuvsim {
namespace {

// A number no viewer call hands out: a caller that uses it shows.
constexpr LONG kJunkNumber = 0x7BADF00D;
constexpr char kJunkChar = '~';

}  // namespace

HRESULT STDMETHODCALLTYPE JunkObject::QueryInterface(REFIID, void** out) {
    if (out) *out = nullptr;
    Used("QueryInterface");
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE JunkObject::AddRef() {
    Used("AddRef");
    return 1;
}

ULONG STDMETHODCALLTYPE JunkObject::Release() {
    Used("Release");
    return 0;
}

void JunkObject::Used(const char* what) {
    TheWorld().referenceErrors.push_back(m_operation + " failed, and its out value was used: " + what);
}

void LeaveJunk(std::string_view operation, void** out) {
    if (!out) return;
    World& world = TheWorld();
    world.junk.push_back(std::make_unique<JunkObject>(std::string(operation)));
    *out = static_cast<IUnknown*>(world.junk.back().get());
}

void LeaveJunk(std::string_view, LONG* out) {
    if (out) *out = kJunkNumber;
}

void LeaveJunk(std::string_view, JunkText out) {
    if (out.buffer && out.size > 0) std::fill_n(out.buffer, out.size, kJunkChar);
}

void LeaveJunk(std::string_view, JunkWideText out) {
    if (out.buffer && out.count > 0) std::fill_n(out.buffer, out.count, static_cast<WCHAR>(kJunkChar));
}

}  // namespace nuvsim
