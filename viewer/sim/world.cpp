#include "viewer/sim/world.h"

#include "viewer/sim/documents.h"

namespace nuvsim {

World& TheWorld() {
    // Never destroyed: an agent released during process exit may still call in.
    static World* world = new World;
    return *world;
}

void ResetTheWorld() {
    World& world = TheWorld();
    CloseAllDocuments();
    World fresh;
    std::swap(world, fresh);
}

}  // namespace nuvsim
