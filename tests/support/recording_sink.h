// Notification sinks of the tests.
#pragma once

#include "interfaces/agent_interfaces.h"

#include <vector>

// A sink the tests own: it counts its references and answers only for
// IUnknown; what it does with a notification is the test's.
class TestSink : public IAgentNotify {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualGUID(iid, iid_of<IUnknown>)) return E_NOINTERFACE;
        *out = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE Advise(IAgentNotify*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(IAgentNotify*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Fire(LONG, IUnknown*, LONG, void*, void*) override { return E_NOTIMPL; }

    long refs = 0;
};

// Records what reaches it.
class RecordingSink final : public TestSink {
public:
    struct Call {
        LONG code;
        IUnknown* sender;
        LONG value;
        void* input;
        void* output;
    };

    HRESULT STDMETHODCALLTYPE Notify(LONG code, IUnknown* sender, LONG value, void* input, void* output) override {
        calls.push_back({code, sender, value, input, output});
        if (onNotify) onNotify(code);
        return S_OK;
    }

    std::vector<LONG> Codes() const {
        std::vector<LONG> codes;
        for (const Call& call : calls) codes.push_back(call.code);
        return codes;
    }

    std::vector<Call> calls;
    void (*onNotify)(LONG) = nullptr;
};
