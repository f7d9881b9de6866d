#include "viewer/sim/world.h"

#include "viewer/sim/documents.h"

namespace nuvsim {
namespace {
thread_local int t_viewerCallDepth = 0;
}  // namespace

ViewerCallScope::ViewerCallScope() { ++t_viewerCallDepth; }
ViewerCallScope::~ViewerCallScope() { --t_viewerCallDepth; }
bool InsideViewerCall() { return t_viewerCallDepth > 0; }

World& TheWorld() {
    // Never destroyed: an agent released during process exit may still call in.
    static World* world = new World;
    return *world;
}

ULONG ReleaseTheKeptAgents() {
    // An agent that dies here releases its helper, which is still in the world.
    std::vector<IDMAgent*> kept;
    std::swap(kept, TheWorld().keptAgents);
    ULONG last = 0;
    for (IDMAgent* agent : kept) last = agent->Release();
    return last;
}

void ResetTheWorld() {
    World& world = TheWorld();
    CloseAllDocuments();
    ReleaseTheKeptAgents();
    World fresh;
    std::swap(world, fresh);
}

}  // namespace nuvsim
