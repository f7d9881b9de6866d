// The viewer's documents of each kind as the agent reaches them, for loading
// markups into them and for taking the agent's registration off at Stop.
// Each getter hands on the viewer's answer as it is: a document may come
// back null from a call that succeeded, and each caller decides what that
// means.
#include "agent/agent_base.h"

#include "interfaces/guids.h"

HRESULT CAgentBase::GetPdfDocument(LONG documentHandle, ComPtr<IPdfDocument>& document) {
    RETURN_HR_IF_NULL(E_FAIL, m_pViewerSession);
    return document.receive([&](auto out) { return m_pViewerSession->GetDocument(documentHandle, IID_PPV(out)); });
}

HRESULT CAgentBase::Get2DDocument(LONG documentHandle, ComPtr<I2DDocument>& document) {
    RETURN_HR_IF_NULL(E_FAIL, m_pHelper);
    return document.receive([&](auto out) { return m_pHelper->GetDocument(documentHandle, out); });
}

HRESULT CAgentBase::Get3DDocument(ComPtr<I3DDocument>& document, bool onlyA3DView) {
    RETURN_HR_IF_NULL(E_FAIL, m_pViewerSession);
    LONG flag = 1;
    LONG viewHandle = 0;
    RETURN_IF_FAILED(m_pViewerSession->GetViewHandle(GUID_3DViewKind, &flag, &viewHandle));
    RETURN_HR_IF(E_FAIL, onlyA3DView && flag != 1);
    return document.receive([&](auto out) { return m_pViewerSession->GetDocument(viewHandle, IID_PPV(out)); });
}

HRESULT CAgentBase::AddSinkTo(IUnknown* document) {
    ComPtr<IViewerEvents> events;
    RETURN_IF_FAILED(events.receive([&](auto out) { return document->QueryInterface(IID_PPV(out)); }));
    RETURN_HR_IF_NULL(E_FAIL, events);
    return events->AddSink(NotifyInterface());
}

HRESULT CAgentBase::RemoveSinkFrom(IUnknown* document) {
    if (!document) return S_OK;
    ComPtr<IViewerEvents> events;
    RETURN_IF_FAILED(events.receive([&](auto out) { return document->QueryInterface(IID_PPV(out)); }));
    if (!events) return S_OK;
    return events->RemoveSink(NotifyInterface());
}

// Without the viewer's session or helper the agent never registered anything.
HRESULT CAgentBase::LeaveDocument() {
    switch (m_nDocumentKind) {
    case kDocumentPdf: {
        if (!m_pViewerSession) return S_OK;
        ComPtr<IPdfDocument> document;
        RETURN_IF_FAILED(GetPdfDocument(m_hDocument, document));
        return RemoveSinkFrom(document.get());
    }
    case kDocument2D: {
        if (!m_pHelper) return S_OK;
        ComPtr<I2DDocument> document;
        RETURN_IF_FAILED(Get2DDocument(m_hDocument, document));
        if (!document) return S_OK;
        return document->RemoveSaveHandler(SaveInterface());
    }
    case kDocument3D: {
        if (!m_pViewerSession) return S_OK;
        // Whatever the viewer calls the view, the agent's sink comes off it.
        ComPtr<I3DDocument> document;
        RETURN_IF_FAILED(Get3DDocument(document, false));
        return RemoveSinkFrom(document.get());
    }
    default:
        return S_OK;
    }
}
