// The record of one viewing session: what the launch file says about the PDM
// side of the session and the view list's three lists. The launch file
// fills it (pdm/launch_file.h); a plain session fills its view list part
// again from the copy the agent keeps in the agent data
// (viewlist/view_list_copy.h). The agent owns it by value.
#pragma once

#include "viewlist/entry_list.h"

#include <string>

// The most markups or parts one session takes from the launch file or from
// the agent data; larger counts are cut to it.
inline constexpr long kMaxListCount = 10000;

struct SessionRecord {
    std::string m_strServerPath;
    std::string m_strFileTypeID;
    std::string m_strViewMode;
    std::string m_strSessionID;
    std::string m_strObjectID;
    std::string m_strPDMVendor;
    std::string m_strPDMHost;
    std::string m_strPDMPort;
    // The save command's program and its last word.
    std::string m_strDMAgent;
    std::string m_strApplication;
    // The viewer's reader filled its buffer with the server path: it may
    // hold only the path's beginning, and no save may hand it on.
    bool m_bServerPathCut = false;
    // Read once: a second reading would list every markup twice.
    bool m_bLaunchFileRead = false;
    long m_nNumMarkups = 0;
    long m_nNumParts = 0;
    EntryList m_markups;
    EntryList m_parts;
    // The launch file, once a plain session has restored its view list.
    EntryList m_serverFiles;
};
