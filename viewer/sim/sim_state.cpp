#include "viewer/sim/sim_state.h"

#include "viewer/sim/documents.h"

namespace nuvsim {
namespace {
thread_local int t_viewerCallDepth = 0;
}  // namespace

ViewerCallScope::ViewerCallScope() { ++t_viewerCallDepth; }
ViewerCallScope::~ViewerCallScope() { --t_viewerCallDepth; }
bool InsideViewerCall() { return t_viewerCallDepth > 0; }

SimState& TheSimState() {
    // Never destroyed: an agent released during process exit may still call in.
    static SimState* sim = new SimState;
    return *sim;
}

ULONG ReleaseTheKeptAgents() {
    // An agent that dies here releases its helper, which lives until the reset.
    std::vector<IDMAgent*> kept;
    std::swap(kept, TheSimState().keptAgents);
    ULONG last = 0;
    for (IDMAgent* agent : kept) last = agent->Release();
    return last;
}

void ResetTheSimState() {
    SimState& sim = TheSimState();
    CloseAllDocuments();
    ReleaseTheKeptAgents();
    SimState fresh;
    std::swap(sim, fresh);
}

}  // namespace nuvsim
