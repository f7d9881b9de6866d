// What a session's view list is made of: the server file's PDM settings and
// three lists. The launch file fills it (pdm/pdm_connection.h); a plain
// session fills it again from the copy the agent keeps in the agent data
// (viewlist/view_list_copy.h).
#pragma once

#include "viewlist/entry_list.h"

#include <string>

// The most markups or parts one session takes from the launch file or from
// the agent data; larger counts are cut to it.
inline constexpr long kMaxListCount = 10000;

struct ViewListRecord {
    std::string m_strServerPath;
    std::string m_strObjectID;
    std::string m_strViewMode;
    std::string m_strPDMVendor;
    std::string m_strPDMHost;
    std::string m_strPDMPort;
    // The viewer's reader filled its buffer with the server path: it may
    // hold only the path's beginning, and no save may hand it on.
    bool m_bServerPathCut = false;
    long m_nNumMarkups = 0;
    long m_nNumParts = 0;
    EntryList m_markups;
    EntryList m_parts;
    // The launch file, once a plain session has restored its view list.
    EntryList m_serverFiles;
};
