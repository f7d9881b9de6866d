// Loads the built agent module into the test process by itself (no COM
// runtime) and finds its entry points. The module sits beside the test
// executable in the build's bin folder.
#pragma once

#include "platform/com/com.h"

#include <string>

class AgentModuleLoader {
public:
    using CanUnloadNow = HRESULT(STDMETHODCALLTYPE*)();
    using GetClassObject = HRESULT(STDMETHODCALLTYPE*)(REFCLSID, REFIID, void**);
    using RegisterServer = HRESULT(STDMETHODCALLTYPE*)();

    AgentModuleLoader();
    ~AgentModuleLoader();
    AgentModuleLoader(const AgentModuleLoader&) = delete;
    AgentModuleLoader& operator=(const AgentModuleLoader&) = delete;

    bool Loaded() const { return m_module != nullptr; }
    const std::string& Path() const { return m_path; }

    CanUnloadNow canUnloadNow = nullptr;
    GetClassObject getClassObject = nullptr;
    RegisterServer registerServer = nullptr;
    RegisterServer unregisterServer = nullptr;

private:
    void* Find(const char* name) const;

    std::string m_path;
    void* m_module = nullptr;
};

// Folder of the running test executable, with a trailing separator.
std::string TestExecutableFolder();
