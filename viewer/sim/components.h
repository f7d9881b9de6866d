// The two classes NUVCoCreateInstance serves; each call makes a new object.
#pragma once

#include "viewer/sim/tracked.h"

namespace nuvsim {

Tracked& MakeAgentHelper();
Tracked& MakeFileStreamSource();

}  // namespace nuvsim
