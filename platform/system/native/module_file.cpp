// A shared object is "this module": every question about it is answered from
// an address inside it, whatever handle the caller holds.
#include "platform/system/module_file.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

namespace {
Dl_info InfoAboutThisModule() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&StaticallyStartedModule), &info)) return Dl_info{};
    return info;
}
}  // namespace

std::optional<ModuleHandle> StaticallyStartedModule() { return InfoAboutThisModule().dli_fbase; }

std::string ModuleFilePath(ModuleHandle) {
    const Dl_info info = InfoAboutThisModule();
    if (!info.dli_fname) return {};
    char resolved[PATH_MAX];
    if (!realpath(info.dli_fname, resolved)) return info.dli_fname;
    return resolved;
}

HRESULT RegisterModuleTypeLibrary(ModuleHandle) { return S_OK; }
