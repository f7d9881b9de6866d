#include "viewer/sim/tracked.h"

#include "platform/com/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/sim_state.h"

namespace nuvsim {

Tracked::Tracked(std::string className, std::string name)
    : m_className(std::move(className)), m_name(std::move(name)), m_queryOperation(m_className + "::QueryInterface") {}

HRESULT Tracked::HandOut(REFIID iid, void** out) {
    RETURN_HR_IF(E_POINTER, !out);
    *out = Lookup(iid);
    RETURN_HR_IF(E_NOINTERFACE, !*out);
    ++m_references;
    return S_OK;
}

HRESULT Tracked::TrackedQueryInterface(REFIID iid, void** out) {
    if (out) *out = nullptr;
    SIM_CALL_OUT(m_queryOperation, GuidName(iid), out);
    RETURN_HR_IF(E_POINTER, !out);
    SIM_NULL_OUT(out);
    return HandOut(iid, out);
}

ULONG Tracked::TrackedAddRef() { return static_cast<ULONG>(++m_references); }

ULONG Tracked::TrackedRelease() {
    const ViewerCallScope scope;
    if (m_references == 0) {
        TheSimState().referenceErrors.push_back(m_name + ": Release without a reference");
        return 0;
    }
    return static_cast<ULONG>(--m_references);
}

}  // namespace nuvsim
