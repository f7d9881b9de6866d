// The view list's copy in the agent data the viewer keeps with a document:
// stored when the viewer saves the document, restored when a later launch
// file names a plain viewer session. The copy's block is found by the launch
// file's path with its form encoding undone.
#pragma once

#include "interfaces/viewer_interfaces.h"
#include "viewlist/agent_data_store.h"
#include "viewlist/session_record.h"

#include <string>

// Fills record from the block kept for launchFile: the launch file becomes
// the one server file, the stored PDM settings fill those the launch file
// left empty, and when the block names a PDM object its lists replace the
// record's. E_FAIL when no block is kept for the launch file.
HRESULT RestoreViewList(AgentDataStore& store, IAgentHelper* helper, const std::string& launchFile,
                        SessionRecord& record);

// Writes record into the block of the viewer document with that key. A
// value lost on the way does not stop the others; the first loss is what
// the caller hears of, else the last write's result.
HRESULT StoreViewList(AgentDataStore& store, IAgentHelper* helper, const LONG (&documentKey)[2],
                      const std::string& launchFile, const SessionRecord& record);
