// The view list operations of the viewer: the copy in the agent data is
// viewlist/'s; the agent hands it its session.
#include "agent/agent_base.h"

#include "viewlist/view_list_copy.h"

#include <cstdint>
#include <cstdio>

void CAgentBase::LogViewList(const char* what, HRESULT hr) const {
    if (!SessionLogHolds(LogLevel::kSessions)) return;
    char result[16];
    std::snprintf(result, sizeof result, "0x%08lX", static_cast<unsigned long>(static_cast<uint32_t>(hr)));
    LogEvent(LogLevel::kSessions, std::string("view list ") + what + ": " + result + ", " +
                                      std::to_string(m_record.m_markups.Count()) + " markups, " +
                                      std::to_string(m_record.m_parts.Count()) + " parts, " +
                                      std::to_string(m_record.m_serverFiles.Count()) + " server files");
}

HRESULT STDMETHODCALLTYPE CAgentBase::LoadViewList() {
    return Operation("LoadViewList", [&]() -> HRESULT {
        RETURN_HR_IF(kRefusedWhileMarkupsLoad, LoadingMarkups());
        RETURN_HR_IF(E_FAIL, !Connected());
        const HRESULT hr = RestoreViewList(m_store, m_pHelper.get(), m_strViewListPath, m_record);
        LogViewList("restored", hr);
        return hr;
    });
}

HRESULT STDMETHODCALLTYPE CAgentBase::SaveViewList() {
    return Operation("SaveViewList", [&]() -> HRESULT {
        RETURN_HR_IF(E_FAIL, !Connected());
        const LONG documentKey[2] = {m_nDocKeyFirst, m_nDocKeySecond};
        const HRESULT hr = StoreViewList(m_store, m_pHelper.get(), documentKey, m_strViewListPath, m_record);
        LogViewList("saved", hr);
        return hr;
    });
}
