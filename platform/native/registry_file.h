// The native registry store's file, shared by every process of the user: the
// agent and a native viewer host see each other's writes because each call
// loads the file, and a change is saved before the call returns.
#pragma once

#include "platform/native/registry_tree.h"

#include <functional>
#include <string>

namespace regstore {

// $NUV_REGISTRY_FILE when set and not empty, else ~/.zelview/registry (the
// folder is created on demand).
std::string StoreFilePath();

enum class Access { kRead, kWrite };

// Runs the operation on the store's current content under the store's lock
// (shared for reads, exclusive for writes). A write operation sets changed
// when the tree is to be saved. A missing, unreadable or corrupt file reads
// as an empty store. Gives the operation's result, or ERROR_ACCESS_DENIED
// when a change could not be saved.
using StoreOperation = std::function<int32_t(Tree& tree, bool& changed)>;
int32_t WithStore(Access access, const StoreOperation& operation);

}  // namespace regstore
