// Objects the viewer hands out. Each counts the references the agent holds;
// the stand-in viewer owns the memory, so a Release past zero is recorded, not a free.
#pragma once

#include "platform/com/com.h"

#include <string>

namespace nuvsim {

class Tracked {
public:
    Tracked(std::string className, std::string name);
    virtual ~Tracked() = default;
    Tracked(const Tracked&) = delete;
    Tracked& operator=(const Tracked&) = delete;

    const std::string& ClassName() const { return m_className; }
    const std::string& Name() const { return m_name; }
    LONG References() const { return m_references; }

    // Gives the caller one reference on iid, without a logged call.
    HRESULT HandOut(REFIID iid, void** out);

protected:
    // The interface pointer for iid, or null; no reference taken.
    virtual void* Lookup(REFIID iid) = 0;

    HRESULT TrackedQueryInterface(REFIID iid, void** out);
    ULONG TrackedAddRef();
    ULONG TrackedRelease();

private:
    std::string m_className;
    std::string m_name;
    std::string m_queryOperation;  // named once: every QueryInterface is counted under it
    LONG m_references = 0;
};

// The IUnknown part of every viewer object: one identity over all its interfaces.
template <class... Interfaces>
class SimObject : public Interfaces..., public Tracked {
public:
    using Tracked::Tracked;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return TrackedQueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return TrackedAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TrackedRelease(); }
};

}  // namespace nuvsim
