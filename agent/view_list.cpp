// The view list operations of the viewer: the copy in the agent data is
// viewlist/'s; the agent hands it its session.
#include "agent/agent_base.h"

#include "viewlist/view_list_copy.h"

HRESULT STDMETHODCALLTYPE CAgentBase::LoadViewList() try {
    RETURN_HR_IF(E_FAIL, !HasLists() || !m_pRecord);
    return RestoreViewList(m_store, m_pHelper.get(), m_strViewListPath, *m_pRecord);
}
CATCH_RETURN();

HRESULT STDMETHODCALLTYPE CAgentBase::SaveViewList() try {
    RETURN_HR_IF(E_FAIL, !HasLists() || !m_pRecord);
    const LONG documentKey[2] = {m_nDocKeyFirst, m_nDocKeySecond};
    return StoreViewList(m_store, m_pHelper.get(), documentKey, m_strViewListPath, *m_pRecord);
}
CATCH_RETURN();
