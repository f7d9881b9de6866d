// A notification sink that records what reaches it.
#pragma once

#include "interfaces/agent_interfaces.h"

#include <vector>

class RecordingSink final : public IAgentNotify {
public:
    struct Call {
        LONG code;
        IUnknown* sender;
        LONG value;
        void* input;
        void* output;
    };

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

    HRESULT STDMETHODCALLTYPE Notify(LONG code, IUnknown* sender, LONG value, void* input, void* output) override {
        calls.push_back({code, sender, value, input, output});
        if (onNotify) onNotify(code);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IAgentNotify*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(IAgentNotify*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Fire(LONG, IUnknown*, LONG, void*, void*) override { return E_NOTIMPL; }

    std::vector<LONG> Codes() const {
        std::vector<LONG> codes;
        for (const Call& call : calls) codes.push_back(call.code);
        return codes;
    }

    long refs = 0;
    std::vector<Call> calls;
    void (*onNotify)(LONG) = nullptr;
};
