#include "interfaces/guids.h"
#include "platform/com/result.h"
#include "viewer/host/agent_loader.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace host {
namespace {
constexpr char kModuleName[] = "libZelDMAgent.so";
constexpr char kClassObjectExport[] = "DllGetClassObject";
using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
}  // namespace

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "./";
    const std::string self(path, static_cast<size_t>(length));
    return self.substr(0, self.rfind('/') + 1);
}

HRESULT AgentLoader::Create(std::string& error) {
    const std::string modulePath = ProgramFolder() + kModuleName;
    if (access(modulePath.c_str(), F_OK) != 0) {
        error = std::string(kModuleName) + " is missing: expected it beside zelview-sim at " + modulePath;
        return E_FAIL;
    }
    m_module = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_module) {
        const char* why = dlerror();
        error = "cannot load " + modulePath + ": " + (why ? why : "unknown error");
        return E_FAIL;
    }
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(dlsym(m_module, kClassObjectExport));
    if (!getClassObject) {
        error = modulePath + " has no " + kClassObjectExport;
        return E_FAIL;
    }
    HRESULT hr = m_factory.receive([&](auto out) { return getClassObject(CLSID_DMAgent, IID_PPV(out)); });
    if (FAILED(hr)) {
        error = std::string(kClassObjectExport) + " refused the agent class";
        return hr;
    }
    hr = m_agent.receive([&](auto out) { return m_factory->CreateInstance(nullptr, IID_PPV(out)); });
    if (FAILED(hr)) {
        error = "the class factory could not create the agent";
        return hr;
    }
    m_description = modulePath + " (DllGetClassObject, IClassFactory::CreateInstance)";
    return S_OK;
}

void AgentLoader::Unload() {
    m_agent.reset();
    m_factory.reset();
    if (m_module) dlclose(m_module);
    m_module = nullptr;
}

}  // namespace host
