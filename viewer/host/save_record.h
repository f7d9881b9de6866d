// What the PDM save command recorded: the host watches the file the command
// appends to, so the report can show what the command was given.
#pragma once

#include <string>

namespace host {

// The record file: the one given, else $PDM_SAVE_LOG, else $ZEL_RECORDER_OUT.
std::string RecordFile(const std::string& given);

class SaveRecordWatch {
public:
    explicit SaveRecordWatch(std::string path);
    // The text appended since construction, waiting up to seconds for the
    // first of it and a little longer for a whole line; empty when none came.
    std::string WaitForNew(double seconds) const;

private:
    std::string m_path;
    size_t m_start = 0;
};

}  // namespace host
