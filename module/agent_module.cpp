#include "module/agent_module.h"

#include "platform/system/module_file.h"
#include "platform/com/result.h"

HRESULT CAgentModule::Init(ObjectMapEntry* objectMap, ModuleHandle module) {
    RETURN_HR_IF(E_INVALIDARG, objectMap == nullptr);
    m_objectMap = objectMap;
    m_module = module;
    for (ObjectMapEntry* entry = m_objectMap; entry->clsid; ++entry) {
        if (entry->classStartStop) entry->classStartStop(true);
    }
    return S_OK;
}

void CAgentModule::Term() {
    if (!m_objectMap) return;
    for (ObjectMapEntry* entry = m_objectMap; entry->clsid; ++entry) {
        ComPtr<CClassFactory> factory;
        {
            CriticalSectionLock lock(m_objectMapLock);
            factory = std::move(entry->cachedFactory);
        }
        if (factory) factory->ReleaseModuleHold();
        factory.reset();
        if (entry->classStartStop) entry->classStartStop(false);
    }
    m_objectMap = nullptr;
}

ObjectMapEntry* CAgentModule::Find(REFCLSID clsid) const {
    if (!m_objectMap) return nullptr;
    for (ObjectMapEntry* entry = m_objectMap; entry->clsid; ++entry) {
        if (IsEqualGUID(*entry->clsid, clsid)) return entry;
    }
    return nullptr;
}

HRESULT CAgentModule::GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    RETURN_HR_IF(E_POINTER, out == nullptr);
    *out = nullptr;
    ObjectMapEntry* entry = Find(clsid);
    RETURN_HR_IF(CLASS_E_CLASSNOTAVAILABLE, entry == nullptr);

    // Callers on several threads at once must all get the one factory.
    CriticalSectionLock lock(m_objectMapLock);
    if (!entry->cachedFactory) {
        RETURN_IF_FAILED(entry->cachedFactory.receive(
            [&](auto out) { return entry->createClassFactory(entry->createInstance, out); }));
    }
    return entry->cachedFactory->QueryInterface(iid, out);
}

HRESULT CAgentModule::RegisterServer(bool registerTypeLib) {
    RETURN_HR_IF(E_UNEXPECTED, m_objectMap == nullptr);
    for (ObjectMapEntry* entry = m_objectMap; entry->clsid; ++entry) {
        RETURN_IF_FAILED(entry->updateRegistry(true));
    }
    if (registerTypeLib) RETURN_IF_FAILED(RegisterModuleTypeLibrary(m_module));
    return S_OK;
}

HRESULT CAgentModule::UnregisterServer() {
    RETURN_HR_IF(E_UNEXPECTED, m_objectMap == nullptr);
    // The type library stays registered: other modules may share it.
    for (ObjectMapEntry* entry = m_objectMap; entry->clsid; ++entry) {
        RETURN_IF_FAILED(entry->updateRegistry(false));
    }
    return S_OK;
}
