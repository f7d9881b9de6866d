// The PDM connection record: what the launch file says about the PDM side of
// the session, read through a settings source of the viewer's helper.
#pragma once

#include "agent/viewer_interfaces.h"
#include "platform/com_ptr.h"
#include "viewlist/entry_list.h"

#include <string>

// The most markups or parts one session takes from the launch file or from
// the agent data; larger counts are cut to it.
inline constexpr long kMaxListCount = 10000;

class CPdmConnection {
public:
    CPdmConnection() = default;
    CPdmConnection(const CPdmConnection&) = delete;
    CPdmConnection& operator=(const CPdmConnection&) = delete;
    virtual ~CPdmConnection();

    // Obtains a settings source from the helper and reads the settings.
    virtual HRESULT Attach(IAgentHelper* helper);
    // Appends one entry per markup that the launch file names. Always S_OK.
    virtual HRESULT LoadMarkups();
    // Reads the server settings and the counts. Always S_OK.
    virtual HRESULT LoadSettings();

    // Lets go of the settings source; nothing more is read.
    void ReleaseSources();

    // One launch file value; empty when missing or unreadable.
    std::string GetValue(const std::string& section, const std::string& key);

    std::string m_strServerPath;
    std::string m_strFileTypeID;
    std::string m_strViewMode;
    std::string m_strPDMVendor;
    std::string m_strPDMHost;
    std::string m_strPDMPort;
    std::string m_strSessionID;
    std::string m_strObjectID;
    long m_nNumMarkups = 0;
    long m_nNumParts = 0;
    EntryList m_markups;
    EntryList m_parts;
    EntryList m_serverFiles;
    ComPtr<ISettingsSource> m_pSource;
    ComPtr<IMarkupManager> m_pSourceAlt;
};

// The agent's record: adds the save command's values and the markup access
// rights the agent goes by.
class CDMAgentConnection : public CPdmConnection {
public:
    ~CDMAgentConnection() override;
    HRESULT LoadMarkups() override;
    HRESULT LoadSettings() override;

    std::string m_strDMAgent;
    std::string m_strApplication;
};

// Launch file sections and the session kind that restores from agent data.
inline constexpr char kSectionServerFile[] = "ServerFile";
inline constexpr char kSectionViewList[] = "ViewList";
inline constexpr char kPlainSessionType[] = "ZelView.Session";
// The server file's path: read from the launch file, and the name under which
// the agent data finds the block of a launch file.
inline constexpr char kKeyServerPath[] = "ServerPath";
