// The texts the user reads in the agent's message boxes, each written down
// once: checks compare what the agent shows with these, never with the
// string table the agent loads it from.
#pragma once

#include "platform/com/string_ids.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

inline const std::map<unsigned, std::string> kUserMessages = {
    {IDS_PROJNAME, "ZelDMAgent"},
    {IDS_LAYER_WRITE_FAILED, "Failed to write layer to disk"},
    {IDS_NO_MARKUP_PERMISSION, "You do not have permission to update markup"},
    {IDS_MARKUP_SAVED_TO_FILE_SYSTEM, "Markup will be saved  to the file system"},
    {IDS_SAVE_NO_COMMAND, "The markup was not handed to the PDM: the view list names no save command."},
    {IDS_SAVE_UNSAFE_LAUNCH_VALUE,
     "The markup was not handed to the PDM: the save command or the values the view list gives it hold characters "
     "that cannot be passed on safely."},
    {IDS_SAVE_UNSAFE_FILE_NAME,
     "The markup was not handed to the PDM: its file name holds a character that cannot be passed on safely (a "
     "double quote, % or !). Save the markup under another name."},
    {IDS_SAVE_COMMAND_TOO_LONG,
     "The markup was not handed to the PDM: its save command would be longer than Windows accepts."},
    {IDS_SAVE_PROGRAM_NOT_ALLOWED,
     "The markup was not handed to the PDM: the view list names a save command that your administrator has not "
     "allowed:"},
    {IDS_SAVE_NOT_STARTED, "The markup was not handed to the PDM: its save command could not be started."},
    {IDS_SAVE_NO_FILE_NAME, "The markup was not handed to the PDM: the viewer named no file for it."},
    {IDS_SAVE_MARKUP_STREAM,
     "The markup was not handed to the PDM: its path names a part of a file (a colon after the drive), not a "
     "file. Save the markup under another name."},
    {IDS_SAVE_NAME_TOO_LONG,
     "The markup was not handed to the PDM: its file name, or the folder of the server file, is longer than 255 "
     "bytes and would be cut. Save the markup under a shorter name."},
    {IDS_SAVE_UNKNOWN_DOCUMENT,
     "The markup was not handed to the PDM: the viewer named a document that this PDM session did not open."},
    {IDS_SAVE_NO_SERVER_FILE,
     "The markup was not handed to the PDM: the view list names no server file, or one too long for the viewer to "
     "read whole."},
    {IDS_SAVE_PROGRAM_NOT_FOUND,
     "The markup was not handed to the PDM: the save program that the view list names is not on this computer:"},
    {IDS_SAVE_NO_PROGRAM_ALLOWED,
     "The markup was not handed to the PDM: your administrator allows no save command on this computer. The view "
     "list names:"},
    {IDS_SAVE_PROGRAM_NOT_FULL_PATH,
     "The markup was not handed to the PDM: your administrator allows only save programs named with their full "
     "path (a drive letter or a server share). The view list names:"},
};

// The text of that message; a failure for one not written down above.
inline std::string UserMessage(unsigned id) {
    const auto found = kUserMessages.find(id);
    if (found != kUserMessages.end()) return found->second;
    ADD_FAILURE() << "message " << id << " has no text in tests/support/user_messages.h";
    return "<no text written down>";
}
