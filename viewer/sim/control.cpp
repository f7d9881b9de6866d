// The control API of the stand-in viewer (see viewer/sim_control.h).
#include "viewer/sim_control.h"

#include "platform/com/result.h"
#include "viewer/sim/documents.h"
#include "viewer/sim/profile_reader.h"
#include "viewer/sim/sim_state.h"

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
void ResetViewer() {
    ResetTheSimState();
    ForgetProfileReads();
}
Config GetConfig() { return TheSimState().config; }
void SetConfig(const Config& config) {
    TheSimState().config = config;
    ForgetProfileReads();
}
void SetLaunchFile(const std::string& path) {
    TheSimState().config.launchFile = path;
    ForgetProfileReads();
}
void SetDocumentKind(LONG kind) { TheSimState().config.documentKind = kind; }

void MapDocumentKey(LONG first, LONG second, LONG block) { TheSimState().agentData.Map(first, second, block); }
std::vector<DocumentKeyMapping> DocumentKeyMappings() { return TheSimState().agentData.Mappings(); }

void SetAgentData(const GUID& owner, LONG block, LONG entry, const std::string& text) {
    TheSimState().agentData.Store(owner, block, entry, text);
}

bool GetAgentData(const GUID& owner, LONG block, LONG entry, std::string* text) {
    const std::string* found = TheSimState().agentData.Find(owner, block, entry);
    if (found && text) *text = *found;
    return found != nullptr;
}

std::vector<AgentDataEntry> AgentDataEntries() { return TheSimState().agentData.Entries(); }
void ClearAgentData() { TheSimState().agentData = AgentData(); }
HRESULT SaveAgentData(const std::string& path) { return TheSimState().agentData.SaveTo(path); }
HRESULT LoadAgentData(const std::string& path) { return TheSimState().agentData.LoadFrom(path); }

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
    TheSimState().openDocuments.erase(handle);
    document->Close();
}

void CloseDocuments() { CloseAllDocuments(); }

std::vector<DocumentInfo> Documents() {
    std::vector<DocumentInfo> out;
    for (const DocumentState* document : TheSimState().documents) out.push_back(document->Info());
    return out;
}

bool FindDocument(LONG handle, DocumentInfo* info) {
    const DocumentState* document = FindOpenDocument(handle);
    if (document && info) *info = document->Info();
    return document != nullptr;
}

std::vector<MarkupKindInfo> EnabledMarkupKinds() { return TheSimState().markupKinds; }
IDMAgent* RegisteredAgent() { return TheSimState().registeredAgent; }
int RegisterAgentCalls() { return TheSimState().registerAgentCalls; }
ULONG ReleaseKeptAgents() { return ReleaseTheKeptAgents(); }

std::vector<std::string> CallLog() { return TheSimState().calls.Log(); }
void ClearCallLog() { TheSimState().calls.Clear(); }
void SetCallLogEnabled(bool enabled) { TheSimState().calls.EnableLog(enabled); }
long CallCount() { return TheSimState().calls.Total(); }
long CallCount(const std::string& operation) { return TheSimState().calls.Count(operation); }

std::vector<ObjectInfo> Objects() {
    std::vector<ObjectInfo> out;
    for (const auto& object : TheSimState().objects) out.push_back({object->Name(), object->References()});
    return out;
}

bool AllReleased() { return UnbalancedObjects().empty() && ReferenceErrors().empty(); }

std::vector<std::string> UnbalancedObjects() {
    std::vector<std::string> out;
    for (const auto& object : TheSimState().objects) {
        if (object->References() != 0) {
            out.push_back(object->Name() + ": " + std::to_string(object->References()) + " reference(s) held");
        }
    }
    return out;
}

std::vector<std::string> ReferenceErrors() { return TheSimState().referenceErrors; }

void FailOperation(const std::string& operation, HRESULT hr, int nthCall) {
    TheSimState().calls.FailOperation(operation, hr, nthCall, false);
}
void FailOperationWithGarbage(const std::string& operation, HRESULT hr, int nthCall) {
    TheSimState().calls.FailOperation(operation, hr, nthCall, true);
}
void NullOutOperation(const std::string& operation, int nthCall) {
    TheSimState().calls.NullOutOperation(operation, nthCall);
}
void OnNextCall(const std::string& operation, std::function<void()> action) {
    TheSimState().calls.OnNextCall(operation, std::move(action));
}
void ClearFaults() { TheSimState().calls.ClearFaults(); }

}  // namespace nuvsim
