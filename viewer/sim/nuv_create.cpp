// The one export the agent imports: creates the viewer's components.
#include "platform/com/result.h"
#include "viewer/sim/call_text.h"
#include "viewer/sim/components.h"
#include "viewer/sim/sim_state.h"
#include "interfaces/guids.h"

extern "C" HRESULT STDMETHODCALLTYPE NUVCoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                                                         void** out) {
    using namespace nuvsim;
    const ViewerCallScope scope;
    if (out) *out = nullptr;
    const std::string className = GuidName(clsid);
    const std::string operation = "NUVCoCreateInstance(" + className + ")";
    CallRecorder& calls = TheSimState().calls;
    const CallOutcome simCall_ = calls.Enter(
        operation, calls.LogEnabled() ? "NUVCoCreateInstance(" +
                                            Join({className, GuidName(iid), Number(static_cast<long>(context))}) + ")"
                                      : std::string());
    if (simCall_.fail) {
        if (simCall_.garbageOut) LeaveGarbageIn(operation, out);
        return simCall_.hr;
    }
    RETURN_HR_IF(E_POINTER, !out);
    SIM_NULL_OUT(out);
    RETURN_HR_IF(CLASS_E_NOAGGREGATION, outer);
    if (clsid == CLSID_AgentHelper) return MakeAgentHelper().HandOut(iid, out);
    if (clsid == CLSID_FileStreamSource) return MakeFileStreamSource().HandOut(iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}
