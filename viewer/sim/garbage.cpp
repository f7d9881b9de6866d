#include "viewer/sim/garbage.h"

#include "viewer/sim/sim_state.h"

#include <algorithm>

namespace nuvsim {
namespace {

// A number no viewer call hands out: a caller that uses it shows.
constexpr LONG kGarbageNumber = 0x7BADF00D;
constexpr char kGarbageChar = '~';

}  // namespace

HRESULT STDMETHODCALLTYPE GarbageObject::QueryInterface(REFIID, void** out) {
    if (out) *out = nullptr;
    Used("QueryInterface");
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE GarbageObject::AddRef() {
    Used("AddRef");
    return 1;
}

ULONG STDMETHODCALLTYPE GarbageObject::Release() {
    Used("Release");
    return 0;
}

void GarbageObject::Used(const char* what) {
    TheSimState().referenceErrors.push_back(m_operation + " failed, and its out value was used: " + what);
}

void LeaveGarbage(std::string_view operation, void** out) {
    if (!out) return;
    SimState& sim = TheSimState();
    sim.garbage.push_back(std::make_unique<GarbageObject>(std::string(operation)));
    *out = static_cast<IUnknown*>(sim.garbage.back().get());
}

void LeaveGarbage(std::string_view, LONG* out) {
    if (out) *out = kGarbageNumber;
}

void LeaveGarbage(std::string_view, GarbageText out) {
    if (out.buffer && out.size > 0) std::fill_n(out.buffer, out.size, kGarbageChar);
}

void LeaveGarbage(std::string_view, GarbageWideText out) {
    if (out.buffer && out.count > 0) std::fill_n(out.buffer, out.count, static_cast<WCHAR>(kGarbageChar));
}

}  // namespace nuvsim
