// The viewer's markup save: the save itself is pdm/'s; the agent hands it the
// session's record and markups.
#include "agent/agent_base.h"

#include "pdm/markup_save.h"

HRESULT STDMETHODCALLTYPE CAgentBase::SaveMarkup(const char* markupPath) {
    return Operation("SaveMarkup", [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, markupPath);
        return SaveMarkupToPdm(m_record, markupPath);
    });
}
