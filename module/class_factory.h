// The class factory that the module caches for its one class.
//
// Its reference count decides whether the factory keeps the module loaded:
// the module holds the first reference, so the count is 1 while no
// client holds the factory. The first client reference (count 2) takes one
// module lock; the release back to 1 gives it back; only the module's
// final release reaches 0 and destroys the factory.
#pragma once

#include "platform/com/critical_section.h"
#include "platform/com/com.h"

using InstanceCreator = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

class CClassFactory final : public IClassFactory {
public:
    // Creates a factory with the one reference that the module holds.
    static HRESULT Create(InstanceCreator createInstance, CClassFactory** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    // Called by the module just before it drops its own reference, so
    // that this release, and only this one, may take the count to 0.
    void ReleaseModuleHold();

private:
    explicit CClassFactory(InstanceCreator createInstance) : m_createInstance(createInstance) {}
    ~CClassFactory() = default;

    static constexpr ULONG kModuleReference = 1;

    const InstanceCreator m_createInstance;
    CriticalSection m_section;
    ULONG m_refCount = kModuleReference;
    bool m_heldByModule = true;
    LONG m_serverLocks = 0;
};
