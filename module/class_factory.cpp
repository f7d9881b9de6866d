#include "module/class_factory.h"

#include "platform/com/interface_table.h"
#include "platform/com/module_lock.h"
#include "platform/com/result.h"

#include <new>

HRESULT CClassFactory::Create(InstanceCreator createInstance, CClassFactory** out) {
    RETURN_HR_IF(E_POINTER, out == nullptr);
    *out = nullptr;
    RETURN_HR_IF(E_INVALIDARG, createInstance == nullptr);
    auto* factory = new (std::nothrow) CClassFactory(createInstance);
    RETURN_HR_IF_NULL(E_OUTOFMEMORY, factory);
    *out = factory;
    return S_OK;
}

HRESULT CClassFactory::QueryInterface(REFIID iid, void** out) try {
    RETURN_HR_IF(E_POINTER, out == nullptr);
    *out = nullptr;
    IUnknown* found = InterfaceTable<Answer<IUnknown, IClassFactory>, Answer<IClassFactory>>::Find(this, iid);
    RETURN_HR_IF_NULL(E_NOINTERFACE, found);
    found->AddRef();
    *out = found;
    return S_OK;
}
CATCH_RETURN();

ULONG CClassFactory::AddRef() {
    CriticalSectionLock lock(m_section);
    if (++m_refCount == kModuleReference + 1) LockModule();
    return m_refCount;
}

ULONG CClassFactory::Release() {
    ULONG remaining;
    {
        CriticalSectionLock lock(m_section);
        // A client releasing more than it took must not destroy the factory
        // that the module still hands out.
        if (m_refCount == kModuleReference && m_heldByModule) return m_refCount;
        remaining = --m_refCount;
        if (remaining == kModuleReference) UnlockModule();
    }
    if (remaining == 0) delete this;
    return remaining;
}

void CClassFactory::ReleaseModuleHold() {
    CriticalSectionLock lock(m_section);
    m_heldByModule = false;
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) try {
    RETURN_HR_IF(E_POINTER, out == nullptr);
    *out = nullptr;
    // An aggregated object can only hand its inner IUnknown to the outer one.
    RETURN_HR_IF(CLASS_E_NOAGGREGATION, outer != nullptr && !IsEqualGUID(iid, iid_of<IUnknown>));
    return m_createInstance(outer, iid, out);
}
CATCH_RETURN();

HRESULT CClassFactory::LockServer(BOOL lock) try {
    CriticalSectionLock guard(m_section);
    if (lock) {
        ++m_serverLocks;
        LockModule();
        return S_OK;
    }
    // An unlock without a matching lock would let the module unload under a
    // live object; refuse it and leave the count alone.
    RETURN_HR_IF(E_UNEXPECTED, m_serverLocks == 0);
    --m_serverLocks;
    UnlockModule();
    return S_OK;
}
CATCH_RETURN();
