#include "module/module_handle.h"

#ifdef _WIN32

#include <vector>

std::string ModuleFilePath(ModuleHandle module) {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

#else

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

namespace {
Dl_info InfoAboutThisModule() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&CurrentModuleHandle), &info)) return Dl_info{};
    return info;
}
}  // namespace

ModuleHandle CurrentModuleHandle() { return InfoAboutThisModule().dli_fbase; }

std::string ModuleFilePath(ModuleHandle) {
    const Dl_info info = InfoAboutThisModule();
    if (!info.dli_fname) return {};
    char resolved[PATH_MAX];
    if (!realpath(info.dli_fname, resolved)) return info.dli_fname;
    return resolved;
}

#endif
