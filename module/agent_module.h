// The module record: the loaded module's handle, the table of classes it
// serves (its object map) and the one-time creation of each class's cached
// factory. The lock count itself lives in platform/module_lock.h, shared with
// the agent objects.
#pragma once

#include "module/class_factory.h"
#include "platform/com/critical_section.h"
#include "platform/system/module_file.h"
#include "platform/com/com.h"
#include "platform/com/com_ptr.h"

struct ObjectMapEntry {
    const CLSID* clsid;  // null marks the end of the map
    HRESULT (*updateRegistry)(bool add);
    HRESULT (*createClassFactory)(InstanceCreator createInstance, CClassFactory** out);
    InstanceCreator createInstance;
    ComPtr<CClassFactory> cachedFactory;
    const char* (*description)();
    const void* (*categories)();
    void (*classStartStop)(bool starting);
};

class CAgentModule {
public:
    // Records the object map and the module handle and starts each class.
    HRESULT Init(ObjectMapEntry* objectMap, ModuleHandle module);
    // Drops every cached class factory and stops each class.
    void Term();

    ModuleHandle Handle() const { return m_module; }

    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
    HRESULT RegisterServer(bool registerTypeLib);
    HRESULT UnregisterServer();

private:
    ObjectMapEntry* Find(REFCLSID clsid) const;

    ModuleHandle m_module = nullptr;
    ObjectMapEntry* m_objectMap = nullptr;
    CriticalSection m_objectMapLock;
};

// The one module record of this module.
CAgentModule& TheAgentModule();
