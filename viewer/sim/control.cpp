// The control API of the stand-in viewer (see viewer/sim_control.h).
#include "viewer/sim_control.h"

#include "platform/com/result.h"
#include "viewer/sim/documents.h"
#include "viewer/sim/profile_reader.h"
#include "viewer/sim/world.h"

namespace nuvsim {
namespace {

// The first failure, else the last result; S_FALSE when nobody was called.
template <class T, class Call>
HRESULT CallEach(const std::vector<ComPtr<T>>& targets, Call call) {
    HRESULT result = S_FALSE;
    HRESULT firstFailure = S_OK;
    for (const ComPtr<T>& target : targets) {
        result = call(target.get());
        if (FAILED(result) && SUCCEEDED(firstFailure)) firstFailure = result;
    }
    return FAILED(firstFailure) ? firstFailure : result;
}

}  // namespace

// Naming the launch file again is how a test says it may have rewritten it.
void ResetWorld() {
    ResetTheWorld();
    ForgetProfileReads();
}
Config GetConfig() { return TheWorld().config; }
void SetConfig(const Config& config) {
    TheWorld().config = config;
    ForgetProfileReads();
}
void SetLaunchFile(const std::string& path) {
    TheWorld().config.launchFile = path;
    ForgetProfileReads();
}
void SetDocumentKind(LONG kind) { TheWorld().config.documentKind = kind; }

void MapDocumentKey(LONG first, LONG second, LONG block) { TheWorld().agentData.Map(first, second, block); }
std::vector<DocumentKeyMapping> DocumentKeyMappings() { return TheWorld().agentData.Mappings(); }

void SetAgentData(const GUID& owner, LONG block, LONG entry, const std::string& text) {
    TheWorld().agentData.Store(owner, block, entry, text);
}

bool GetAgentData(const GUID& owner, LONG block, LONG entry, std::string* text) {
    const std::string* found = TheWorld().agentData.Find(owner, block, entry);
    if (found && text) *text = *found;
    return found != nullptr;
}

std::vector<AgentDataEntry> AgentDataEntries() { return TheWorld().agentData.Entries(); }
void ClearAgentData() { TheWorld().agentData = AgentData(); }
HRESULT SaveAgentData(const std::string& path) { return TheWorld().agentData.SaveTo(path); }
HRESULT LoadAgentData(const std::string& path) { return TheWorld().agentData.LoadFrom(path); }

HRESULT Save2DMarkup(LONG documentHandle, const char* markupPath) {
    DocumentState* document = FindOpenDocument(documentHandle);
    RETURN_HR_IF(E_INVALIDARG, !document || document->Kind() != kKind2D);
    return CallEach(document->SaveHandlers().Distinct(),
                    [markupPath](IAgentMarkupSave* handler) { return handler->SaveMarkup(markupPath); });
}

HRESULT NotifyDocument(LONG handle, LONG code, LONG value, void* input, void* output) {
    DocumentState* document = FindOpenDocument(handle);
    RETURN_HR_IF(E_INVALIDARG, !document || !document->EventsSender());
    // Held for the calls: a sink may close the document or drop its registration.
    IUnknown* sender = document->EventsSender();
    return CallEach(document->Sinks().Distinct(), [&](IAgentNotify* sink) {
        return sink->Notify(code, sender, value, input, output);
    });
}

HRESULT SavePdfMarkup(LONG documentHandle, const char* markupPath) {
    return NotifyDocument(documentHandle, kNotifySaveMarkup, 0, const_cast<char*>(markupPath), nullptr);
}

HRESULT Save3DMarkup(LONG viewHandle, LONG documentHandle, const char* markupPath, LONG code) {
    DocumentMarkupSave save{documentHandle, markupPath};
    return NotifyDocument(viewHandle, code, 0, &save, nullptr);
}

void CloseDocument(LONG handle) {
    DocumentState* document = FindOpenDocument(handle);
    if (!document) return;
    TheWorld().openDocuments.erase(handle);
    document->Close();
}

void CloseDocuments() { CloseAllDocuments(); }

std::vector<DocumentInfo> Documents() {
    std::vector<DocumentInfo> out;
    for (const DocumentState* document : TheWorld().documents) out.push_back(document->Info());
    return out;
}

bool FindDocument(LONG handle, DocumentInfo* info) {
    const DocumentState* document = FindOpenDocument(handle);
    if (document && info) *info = document->Info();
    return document != nullptr;
}

std::vector<MarkupKindInfo> EnabledMarkupKinds() { return TheWorld().markupKinds; }
IDMAgent* RegisteredAgent() { return TheWorld().registeredAgent; }
int RegisterAgentCalls() { return TheWorld().registerAgentCalls; }
ULONG ReleaseKeptAgents() { return ReleaseTheKeptAgents(); }

std::vector<std::string> CallLog() { return TheWorld().calls.Log(); }
void ClearCallLog() { TheWorld().calls.Clear(); }
void SetCallLogEnabled(bool enabled) { TheWorld().calls.EnableLog(enabled); }
long CallCount() { return TheWorld().calls.Total(); }
long CallCount(const std::string& operation) { return TheWorld().calls.Count(operation); }

std::vector<ObjectInfo> Objects() {
    std::vector<ObjectInfo> out;
    for (const auto& object : TheWorld().objects) out.push_back({object->Name(), object->References()});
    return out;
}

bool AllReleased() { return UnbalancedObjects().empty() && ReferenceErrors().empty(); }

std::vector<std::string> UnbalancedObjects() {
    std::vector<std::string> out;
    for (const auto& object : TheWorld().objects) {
        if (object->References() != 0) {
            out.push_back(object->Name() + ": " + std::to_string(object->References()) + " reference(s) held");
        }
    }
    return out;
}

std::vector<std::string> ReferenceErrors() { return TheWorld().referenceErrors; }

void FailOperation(const std::string& operation, HRESULT hr, int nthCall) {
    TheWorld().calls.FailOperation(operation, hr, nthCall, false);
}
void FailOperationWithJunk(const std::string& operation, HRESULT hr, int nthCall) {
    TheWorld().calls.FailOperation(operation, hr, nthCall, true);
}
void NullOutOperation(const std::string& operation, int nthCall) {
    TheWorld().calls.NullOutOperation(operation, nthCall);
}
void ClearFaults() { TheWorld().calls.ClearFaults(); }

}  // namespace nuvsim
