// The Windows build carries the script as a REGISTRY resource.
#include "module/registration.h"

#include "module/resource_ids.h"
#include "platform/com/result.h"

namespace {
constexpr const char* kRegistryResourceType = "REGISTRY";
}

HRESULT LoadAgentRegistryScript(ModuleHandle module, std::string& script) {
    script.clear();
    const HMODULE handle = static_cast<HMODULE>(module);
    HRSRC resource = FindResourceA(handle, MAKEINTRESOURCEA(IDR_AGENT_REGISTRY), kRegistryResourceType);
    RETURN_HR_IF(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND), resource == nullptr);
    HGLOBAL loaded = LoadResource(handle, resource);
    const DWORD size = SizeofResource(handle, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    RETURN_HR_IF(E_FAIL, data == nullptr);
    // The resource is the file's bytes, not terminated.
    script.assign(static_cast<const char*>(data), size);
    return S_OK;
}
