// The two file operations the agent makes itself, on files it was told to
// remove.
#pragma once

#include <string>

// Read and write permission for the owner; failures are ignored by callers.
void MakeOwnerReadWrite(const std::string& path);
// True when the file was deleted.
bool DeleteFileAt(const std::string& path);
