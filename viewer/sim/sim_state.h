// The stand-in viewer's process-wide state: configuration, every object it
// handed out, its documents and agent data, and the record of calls.
#pragma once

#include "viewer/sim/agent_data.h"
#include "viewer/sim/call_recorder.h"
#include "viewer/sim/garbage.h"
#include "viewer/sim/tracked.h"
#include "viewer/sim_control.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nuvsim {

class DocumentState;

// Layer handles are opaque to the agent; distinct from document handles and
// small numbers so that a mix-up shows in the log.
constexpr LONG kFirstLayerHandle = 1001;

struct SimState {
    Config config;
    CallRecorder calls;
    AgentData agentData;
    // Owns every object; none is freed before the viewer is reset.
    std::vector<std::unique_ptr<Tracked>> objects;
    std::vector<DocumentState*> documents;
    std::map<LONG, DocumentState*> openDocuments;
    std::vector<MarkupKindInfo> markupKinds;
    std::vector<std::string> referenceErrors;
    // What failed calls left in out arguments.
    std::vector<std::unique_ptr<GarbageObject>> garbage;
    IDMAgent* registeredAgent = nullptr;  // not referenced: the agent holds the helper
    // One reference each, taken by a helper that keeps its agent.
    std::vector<IDMAgent*> keptAgents;
    int registerAgentCalls = 0;
    int helpersMade = 0;
    int streamSourcesMade = 0;
    LONG nextLayerHandle = kFirstLayerHandle;
    // The handles GetViewHandle gave out as 3D views.
    std::set<LONG> viewHandles3D;
    Tracked* settingsSource = nullptr;
    Tracked* markupManager = nullptr;
    Tracked* viewerSession = nullptr;

    template <class T, class... Args>
    T* Make(Args&&... args) {
        auto object = std::make_unique<T>(std::forward<Args>(args)...);
        T* made = object.get();
        objects.push_back(std::move(object));
        return made;
    }
};

SimState& TheSimState();
// Closes the documents and lets go of the kept agents first, so that the
// agent's objects are released while every viewer object they may still call
// is alive.
void ResetTheSimState();
ULONG ReleaseTheKeptAgents();

// Marks the calling thread as inside a viewer operation for as long as it lives.
class ViewerCallScope {
public:
    ViewerCallScope();
    ~ViewerCallScope();
    ViewerCallScope(const ViewerCallScope&) = delete;
    ViewerCallScope& operator=(const ViewerCallScope&) = delete;
};

// Records a call logged as operation(arguments); the arguments are written
// out only while the log is on.
template <class MakeArguments>
CallOutcome Enter(std::string_view operation, MakeArguments makeArguments) {
    CallRecorder& calls = TheSimState().calls;
    if (!calls.LogEnabled()) return calls.Enter(operation, std::string());
    std::string line(operation);
    line += '(';
    line += makeArguments();
    line += ')';
    return calls.Enter(operation, std::move(line));
}

// The shared objects, made on first use.
Tracked& TheSettingsSource();
Tracked& TheMarkupManager();
Tracked& TheViewerSession();

}  // namespace nuvsim

// Opens a viewer operation: logs it and lets an armed fault take it over.
#define SIM_CALL(operation, arguments)                                          \
    const ::nuvsim::ViewerCallScope simScope_;                                  \
    const ::nuvsim::CallOutcome simCall_ =                                      \
        ::nuvsim::Enter(operation, [&]() -> std::string { return arguments; });  \
    if (simCall_.fail) return simCall_.hr

// The same for an operation with out arguments: a fault that fails it with
// garbage leaves garbage in each of them (see garbage.h).
#define SIM_CALL_OUT(operation, arguments, ...)                                 \
    const ::nuvsim::ViewerCallScope simScope_;                                  \
    const ::nuvsim::CallOutcome simCall_ =                                      \
        ::nuvsim::Enter(operation, [&]() -> std::string { return arguments; });  \
    if (simCall_.fail) {                                                        \
        if (simCall_.garbageOut) ::nuvsim::LeaveGarbageIn(operation, __VA_ARGS__);    \
        return simCall_.hr;                                                     \
    }

// After the out pointer was checked: an armed null-out fault answers here.
#define SIM_NULL_OUT(out)    \
    do {                     \
        if (simCall_.nullOut) { \
            *(out) = nullptr;   \
            return S_OK;        \
        }                       \
    } while (0)
