#include "interfaces/guids.h"
#include "viewer/host/agent_loader.h"

namespace host {
namespace {
constexpr wchar_t kProgId[] = L"ZelDMAgent.DMAgent";
constexpr char kProgIdText[] = "ZelDMAgent.DMAgent";
constexpr HRESULT kModuleNotFound = HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
}  // namespace

std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return ".\\";
    const std::string self(path, length);
    return self.substr(0, self.find_last_of("\\/") + 1);
}

HRESULT AgentLoader::Create(std::string& error) {
    HRESULT hr = CoInitialize(nullptr);
    if (FAILED(hr)) {
        error = "the COM runtime did not start";
        return hr;
    }
    m_runtimeStarted = true;
    CLSID clsid{};
    hr = CLSIDFromProgID(kProgId, &clsid);
    if (FAILED(hr)) {
        error = std::string("the agent is not registered: no ProgID ") + kProgIdText +
                " (register ZelDMAgent.dll with regsvr32)";
        return hr;
    }
    hr = m_agent.receive(
        [&](auto out) { return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(out)); });
    if (FAILED(hr)) {
        if (hr == REGDB_E_CLASSNOTREG)
            error = "the agent's class is not registered (register ZelDMAgent.dll with regsvr32)";
        else if (hr == kModuleNotFound)
            error = "ZelDMAgent.dll or a DLL it needs (NUVComCreate.dll, beside it) could not be found";
        else
            error = "the COM runtime could not create the agent";
        return hr;
    }
    m_description = std::string("COM runtime, ProgID ") + kProgIdText + " (CLSIDFromProgID, CoCreateInstance)";
    return S_OK;
}

void AgentLoader::Unload() {
    m_agent.reset();
    if (m_runtimeStarted) CoUninitialize();
    m_runtimeStarted = false;
}

}  // namespace host
