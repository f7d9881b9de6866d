// Saving a markup: a markup the user may only read is refused with a
// message; any other goes to the PDM front end's save command. A save that
// does not reach the PDM is never silent: the user would believe the markup
// was taken in.
#pragma once

#include "pdm/pdm_connection.h"

// markups: the session's markups, null before it has any. E_FAIL when the
// save was refused (the user has been told why), else S_OK once the save
// command started.
HRESULT SaveMarkupToPdm(const CDMAgentConnection& record, EntryList* markups, const char* markupPath);
