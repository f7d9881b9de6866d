// Loading the session's markup layers into each document the viewer opens,
// and the markup session around the user's edits.
#include "agent/agent_base.h"

#include "platform/system/file_ops.h"
#include "platform/text/mbcompare.h"
#include "platform/system/registry.h"
#include "platform/text/strings.h"

#include <cstring>
#include <iterator>

namespace {
constexpr char kReadAccess[] = "READ";
constexpr char kViewOnlyMode[] = "ViewOnly";
constexpr LONG kBaseLayer = 1;
constexpr LONG kLayerNameSize = 260;

const char* MarkupKindName(LONG kind) {
    switch (kind) {
    case kDocumentPdf: return "PDF Markup";
    case kDocument2D: return "2D Markup";
    case kDocument3D: return "3D Markup";
    default: return nullptr;
    }
}

void WritePreserveExtensions(DWORD value) {
    WriteRegistryValue(HKEY_CURRENT_USER, kPreserveExtensionsPath, REG_DWORD, &value, sizeof value, false);
}

// Appends at the end of the caller's list; the caller frees with CoTaskMemFree.
bool AppendToCallerList(PendingFileList* list, const std::string& path) {
    auto* node = static_cast<PendingFileNode*>(CoTaskMemAlloc(sizeof(PendingFileNode)));
    auto* text = static_cast<char*>(CoTaskMemAlloc(path.size() + 1));
    if (!node || !text) {
        CoTaskMemFree(node);
        CoTaskMemFree(text);
        return false;
    }
    std::memcpy(text, path.c_str(), path.size() + 1);
    node->next = nullptr;
    node->path = text;
    PendingFileNode** link = &list->head;
    while (*link) link = &(*link)->next;
    *link = node;
    return true;
}

// Counts one markup load for as long as it lives.
class MarkupLoadCount {
public:
    explicit MarkupLoadCount(int& loads) : m_loads(loads) { ++m_loads; }
    ~MarkupLoadCount() { --m_loads; }
    MarkupLoadCount(const MarkupLoadCount&) = delete;
    MarkupLoadCount& operator=(const MarkupLoadCount&) = delete;

private:
    int& m_loads;
};
}  // namespace

void CAgentBase::LogMarkupLoaded(const ViewListEntry& entry, bool madeReadOnly) const {
    if (!SessionLogHolds(LogLevel::kSessions)) return;
    // A markup the PDM serves has no local path: its location names it.
    std::string event =
        "markup loaded: " + (entry.m_strLocalPath.empty() ? entry.m_strLocation : entry.m_strLocalPath);
    const std::string why = IsViewOnly() ? "view mode " + m_record.m_strViewMode
                                         : "access \"" + entry.m_strAccess + "\"";
    if (madeReadOnly) event += "; read-only: " + why;
    else if (IsReadOnly(entry)) event += "; not made read-only: the viewer gave no layer for it (" + why + ")";
    else event += "; editable";
    LogEvent(LogLevel::kSessions, event);
}

bool CAgentBase::IsViewOnly() const {
    return MbsCompare(m_record.m_strViewMode.c_str(), kViewOnlyMode) == 0;
}

bool CAgentBase::IsReadOnly(const ViewListEntry& entry) const { return IsReadOnly(entry, IsViewOnly()); }

bool CAgentBase::IsReadOnly(const ViewListEntry& entry, bool viewOnly) {
    // Letter case changes no character's length: a text of another length
    // is never "read", and thousands of markups need no comparison.
    return viewOnly || (entry.m_strAccess.size() == std::size(kReadAccess) - 1 &&
                        MbsICompare(entry.m_strAccess.c_str(), kReadAccess) == 0);
}

HRESULT STDMETHODCALLTYPE CAgentBase::LoadDocumentMarkups(LONG documentHandle) {
    return Operation("LoadDocumentMarkups", [&]() -> HRESULT {
        m_hDocument = documentHandle;
        RETURN_HR_IF(E_FAIL, !Connected());
        // The loads below walk the markup list, calling the viewer at every
        // entry: it stays in place until they are done.
        const MarkupLoadCount loading(m_nMarkupLoads);
        switch (m_nDocumentKind) {
        case kDocumentPdf: return LoadPdfMarkups(documentHandle);
        case kDocument2D: return Load2DMarkups(documentHandle);
        case kDocument3D: return Load3DMarkups(documentHandle);
        default: return E_FAIL;
        }
    });
}

HRESULT CAgentBase::LoadPdfMarkups(LONG documentHandle) {
    ComPtr<IPdfDocument> document;
    RETURN_IF_FAILED(GetPdfDocument(documentHandle, document));
    RETURN_HR_IF_NULL(E_FAIL, document);
    LONG unused = 0;
    document->UnnamedValue13(&unused);

    EntryList& markups = m_record.m_markups;
    const bool viewOnly = IsViewOnly();
    for (size_t i = 0; i < markups.Count(); ++i) {
        const ViewListEntry& entry = markups[i];
        if (entry.m_bLoaded) continue;
        document->LoadMarkupFile(entry.m_strLocalPath.c_str());
        LONG layer = 0;
        const bool readOnly = IsReadOnly(entry, viewOnly) && SUCCEEDED(document->GetCurrentLayer(&layer));
        if (readOnly) document->SetLayerReadOnly(layer, 1);
        LogMarkupLoaded(entry, readOnly);
        markups.MarkLoaded(i);
    }
    return AddSinkTo(document.get());
}

HRESULT CAgentBase::Load2DMarkups(LONG documentHandle) {
    ComPtr<I2DDocument> document;
    RETURN_IF_FAILED(Get2DDocument(documentHandle, document));
    RETURN_HR_IF_NULL(E_FAIL, document);
    ComPtr<I2DLayers> layers;
    RETURN_IF_FAILED(document.query(layers));
    RETURN_HR_IF_NULL(E_FAIL, layers);

    // The drawing's own layer is never the user's to change.
    LONG layer = 0;
    if (SUCCEEDED(layers->GetLayer(&layer, kBaseLayer))) {
        layers->SetLayerReadOnly(layer, 1);
        char name[kLayerNameSize] = {};
        layers->GetLayerName(layer, name, kLayerNameSize);
    }

    LONG layerNumber = kBaseLayer;
    EntryList& markups = m_record.m_markups;
    const bool viewOnly = IsViewOnly();
    for (size_t i = 0; i < markups.Count(); ++i) {
        const ViewListEntry& entry = markups[i];
        if (entry.m_bLoaded) continue;
        ++layerNumber;
        layers->LoadMarkupFile(entry.m_strLocalPath.c_str(), layerNumber);
        const bool readOnly = IsReadOnly(entry, viewOnly) && SUCCEEDED(layers->GetLayer(&layer, layerNumber));
        if (readOnly) layers->SetLayerReadOnly(layer, 1);
        LogMarkupLoaded(entry, readOnly);
        markups.MarkLoaded(i);
    }
    return document->AddSaveHandler(SaveInterface());
}

HRESULT CAgentBase::Load3DMarkups(LONG documentHandle) {
    RETURN_HR_IF_NULL(E_FAIL, m_pViewerSession);
    // Listed before anything can fail: saves are accepted for every handle
    // the viewer ever announced.
    m_documents.push_back(documentHandle);

    ComPtr<I3DDocument> document;
    RETURN_IF_FAILED(Get3DDocument(document, true));
    RETURN_HR_IF_NULL(E_FAIL, document);

    EntryList& markups = m_record.m_markups;
    for (size_t i = 0; i < markups.Count(); ++i) {
        const ViewListEntry& entry = markups[i];
        if (entry.m_bLoaded) continue;
        document->LoadMarkupFile(documentHandle, entry.m_strLocalPath.c_str());
        LogMarkupLoaded(entry, false);
        markups.MarkLoaded(i);
    }
    return AddSinkTo(document.get());
}

HRESULT STDMETHODCALLTYPE CAgentBase::BeginMarkup(LONG value) {
    return Operation("BeginMarkup", [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_FAIL, m_pMarkupManager);
        m_nDocKeySecond = value;
        const LONG flag = IsViewOnly() ? 0 : 1;
        HRESULT hr = S_OK;
        if (const char* kindName = MarkupKindName(m_nDocumentKind)) {
            m_pMarkupManager->EnableMarkupKind(kindName, flag);
        } else if (m_nDocumentKind == kDocumentNone) {
            hr = E_FAIL;
        }
        WritePreserveExtensions(1);
        return hr;
    });
}

HRESULT STDMETHODCALLTYPE CAgentBase::EndMarkup(LONG) {
    return Operation("EndMarkup", [&]() -> HRESULT {
        WritePreserveExtensions(0);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE CAgentBase::RemovePendingFiles(PendingFileList* list) {
    return Operation("RemovePendingFiles", [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, list);
        HRESULT hr = S_OK;
        for (const std::string& path : m_pendingDeletes) {
            MakeOwnerReadWrite(path);
            if (!DeleteFileAt(path) && !AppendToCallerList(list, path)) hr = E_OUTOFMEMORY;
        }
        m_pendingDeletes.clear();
        return hr;
    });
}
