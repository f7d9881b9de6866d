// Hand-written stand-ins for the viewer's helper component, settings source
// and markup manager, for tests that drive the record and the agent data
// store directly. They live on the test's stack: references are counted so
// that a test can see them balanced, never freed.
#pragma once

#include "interfaces/viewer_interfaces.h"
#include "platform/codepage.h"
#include "interfaces/guids.h"

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

template <typename Interface>
class FakeObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, iid_of<IUnknown>) && !IsEqualIID(iid, m_iid)) return E_NOINTERFACE;
        *out = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }

    // References handed out and not yet given back.
    long refs = 0;

protected:
    explicit FakeObject(const IID& iid) : m_iid(iid) {}

private:
    IID m_iid;
};

// Launch file values by "Section/Key", as the viewer's read method serves them.
class FakeProfile {
public:
    void Set(const std::string& section, const std::string& key, const std::string& value) {
        values[section + "/" + key] = value;
    }

    HRESULT Read(const WCHAR* section, const WCHAR* key, LONG* count, WCHAR* buffer) {
        const std::string name = WideToAnsi(section, 1024) + "/" + WideToAnsi(key, 1024);
        reads.push_back(name);
        if (unterminatedFill != 0) {
            for (LONG i = 0; i < *count; ++i) buffer[i] = unterminatedFill;
            return S_OK;
        }
        const auto found = values.find(name);
        if (found == values.end()) return E_FAIL;
        const WideString wide = AnsiToWide(found->second);
        const size_t room = static_cast<size_t>(*count) - 1;
        const size_t length = wide.size() < room ? wide.size() : room;
        std::memcpy(buffer, wide.data(), length * sizeof(WCHAR));
        buffer[length] = 0;
        return S_OK;
    }

    std::map<std::string, std::string> values;
    std::vector<std::string> reads;
    // Non-zero: every read fills the whole buffer with it and no terminator.
    WCHAR unterminatedFill = 0;
};

class FakeSettingsSource : public FakeObject<ISettingsSource> {
public:
    FakeSettingsSource() : FakeObject(iid_of<ISettingsSource>) {}
    HRESULT STDMETHODCALLTYPE ReadProfileValue(LONG, const WCHAR* section, const WCHAR* key, LONG* count,
                                               WCHAR* buffer) override {
        return profile.Read(section, key, count, buffer);
    }
    FakeProfile profile;
};

// The markup manager: a settings source of the second kind, and the agent data
// store as blocks of entries.
class FakeMarkupManager : public FakeObject<IMarkupManager> {
public:
    FakeMarkupManager() : FakeObject(iid_of<IMarkupManager>) {}

    HRESULT STDMETHODCALLTYPE ReadProfileValue(LONG, const WCHAR* section, const WCHAR* key, LONG* count,
                                               WCHAR* buffer) override {
        return profile.Read(section, key, count, buffer);
    }

    HRESULT STDMETHODCALLTYPE GetAgentString(const GUID* owner, LONG block, LONG entry, LONG* size,
                                             char* buffer) override {
        ++stringReads;
        if (!IsEqualGUID(*owner, GUID_AgentDataOwner) || *size != 1024) return E_INVALIDARG;
        if (reader) return reader(block, entry, buffer);
        const auto found = blocks.find(block);
        if (found == blocks.end() || entry < 0 || static_cast<size_t>(entry) >= found->second.size()) return E_FAIL;
        const std::string& text = found->second[static_cast<size_t>(entry)];
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetAgentString(const GUID* owner, LONG block, LONG entry, LONG* size,
                                             const char* text) override {
        if (!IsEqualGUID(*owner, GUID_AgentDataOwner)) return E_INVALIDARG;
        if (entry == failWriteAt) return E_ACCESSDENIED;
        if (*size != static_cast<LONG>(std::strlen(text)) + 1) return E_INVALIDARG;
        std::vector<std::string>& entries = blocks[block];
        if (entries.size() <= static_cast<size_t>(entry)) entries.resize(static_cast<size_t>(entry) + 1);
        entries[static_cast<size_t>(entry)] = text;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE EnableMarkupKind(const char*, LONG) override { return E_NOTIMPL; }

    FakeProfile profile;
    std::map<LONG, std::vector<std::string>> blocks;
    // Takes the place of the blocks when set, for stores no real viewer keeps.
    std::function<HRESULT(LONG block, LONG entry, char* buffer)> reader;
    LONG failWriteAt = -1;
    long stringReads = 0;
};

// The helper component, also answering as the document lookup.
class FakeHelper : public IAgentHelper, public IDocumentLookup {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, iid_of<IUnknown>) || IsEqualIID(iid, iid_of<IAgentHelper>)) {
            *out = static_cast<IAgentHelper*>(this);
        } else if (IsEqualIID(iid, iid_of<IDocumentLookup>) && lookupAvailable) {
            *out = static_cast<IDocumentLookup*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }

    HRESULT STDMETHODCALLTYPE RegisterAgent(IDMAgent*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDocument(REFIID, LONG, void** out) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSettingsSource(ISettingsSource** out) override {
        ++settingsRequests;
        return HandOut(settings, out, junkOnFailure);
    }
    HRESULT STDMETHODCALLTYPE GetMarkupManager(IMarkupManager** out) override {
        ++managerRequests;
        return HandOut(manager, out, junkOnFailure);
    }

    HRESULT STDMETHODCALLTYPE GetViewerSession(IViewerSession**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDocumentKind(LONG, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnnamedValue5(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDocumentIndex(const LONG* documentKey, LONG* block) override {
        keySeen[0] = documentKey[0];
        keySeen[1] = documentKey[1];
        // A failing lookup leaves junk behind, as a careless viewer may.
        if (FAILED(documentIndexResult)) {
            *block = kJunkBlock;
            return documentIndexResult;
        }
        *block = documentIndex;
        return documentIndexResult;
    }
    HRESULT STDMETHODCALLTYPE GetDocumentKey(LONG*) override { return E_NOTIMPL; }

    // A null source makes the request fail with E_NOINTERFACE, leaving
    // junkOnFailure in the out argument.
    FakeSettingsSource* settings = nullptr;
    FakeMarkupManager* manager = nullptr;
    void* junkOnFailure = nullptr;
    bool lookupAvailable = true;
    static constexpr LONG kJunkBlock = 0x7BAD;
    LONG documentIndex = 0;
    HRESULT documentIndexResult = S_OK;
    LONG keySeen[2] = {-1, -1};
    long refs = 0;
    int settingsRequests = 0;
    int managerRequests = 0;

private:
    template <typename Fake, typename Interface>
    static HRESULT HandOut(Fake* fake, Interface** out, void* junk) {
        *out = nullptr;
        if (fake == nullptr) {
            *out = static_cast<Interface*>(junk);
            return E_NOINTERFACE;
        }
        fake->AddRef();
        *out = fake;
        return S_OK;
    }
};
