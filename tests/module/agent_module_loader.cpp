#include "tests/module/agent_module_loader.h"

#ifdef _WIN32
#include <vector>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#endif

namespace {
#ifdef _WIN32
constexpr const char* kModuleFile = "ZelDMAgent.dll";
constexpr char kSeparator = '\\';
#else
constexpr const char* kModuleFile = "libZelDMAgent.so";
constexpr char kSeparator = '/';
#endif
}  // namespace

std::string TestExecutableFolder() {
#ifdef _WIN32
    char buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
    std::string path(buffer, length);
#else
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    std::string path(buffer, length > 0 ? static_cast<size_t>(length) : 0);
#endif
    return path.substr(0, path.find_last_of(kSeparator) + 1);
}

AgentModuleLoader::AgentModuleLoader() : m_path(TestExecutableFolder() + kModuleFile) {
#ifdef _WIN32
    m_module = LoadLibraryA(m_path.c_str());
#else
    m_module = dlopen(m_path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    if (!m_module) return;
    canUnloadNow = reinterpret_cast<CanUnloadNow>(Find("DllCanUnloadNow"));
    getClassObject = reinterpret_cast<GetClassObject>(Find("DllGetClassObject"));
    registerServer = reinterpret_cast<RegisterServer>(Find("DllRegisterServer"));
    unregisterServer = reinterpret_cast<RegisterServer>(Find("DllUnregisterServer"));
}

AgentModuleLoader::~AgentModuleLoader() {
    if (!m_module) return;
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(m_module));
#else
    dlclose(m_module);
#endif
}

void* AgentModuleLoader::Find(const char* name) const {
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_module), name));
#else
    return dlsym(m_module, name);
#endif
}
