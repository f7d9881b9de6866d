// Saving a markup: a markup the user may only read is refused with a
// message; any other goes to the PDM front end's save command. A save that
// does not reach the PDM is never silent: the user would believe the markup
// was taken in.
#pragma once

#include "platform/com/com.h"
#include "viewlist/session_record.h"

#include <string>

// What becomes of one save: the command line to launch, or the refusal the
// user is shown.
struct SaveDecision {
    std::string commandLine;  // empty when refused
    std::string loggedLine;   // the line as the log shows it
    unsigned messageId = 0;   // the refusal's message; 0 when the save goes ahead
    std::string named;        // what the message names after its text (a program), if anything
    std::string detail;       // what the log adds to the refusal

    bool Refused() const { return messageId != 0; }
    static SaveDecision Refusal(unsigned messageId, std::string detail = {}, std::string named = {});
};

// The one decision on a save, by the session's record and its markups.
// Shows nothing and starts nothing.
SaveDecision DecideSave(const SessionRecord& record, const std::string& markupPath);

// The one place a decision is carried out: a refusal is logged, shown and
// fails the save (E_FAIL, the user has been told why); a command line is
// launched (S_OK once it started; a launch that fails is refused in turn).
HRESULT CarryOutSave(const SaveDecision& decision, const std::string& markupPath);

// Both, for the viewer's save of the markup at markupPath.
HRESULT SaveMarkupToPdm(const SessionRecord& record, const char* markupPath);
