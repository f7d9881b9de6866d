// The PDM connection record: what the launch file says about the PDM side of
// the session, read through a settings source of the viewer's helper. Its
// view list part is what the agent data keeps a copy of.
#pragma once

#include "interfaces/viewer_interfaces.h"
#include "platform/com/com_ptr.h"
#include "viewlist/view_list_record.h"

#include <string>

class CPdmConnection : public ViewListRecord {
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

    // One launch file value; empty when missing or unreadable. cut, when
    // given, says whether the value filled the reader's buffer: a longer one
    // would have been cut there.
    std::string GetValue(const std::string& section, const std::string& key, bool* cut = nullptr);

    std::string m_strFileTypeID;
    std::string m_strSessionID;
    ComPtr<ISettingsSource> m_pSource;
    // Where the viewer offers no settings source, the launch file is read
    // through its markup manager.
    ComPtr<IMarkupManager> m_pMarkupManager;
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
