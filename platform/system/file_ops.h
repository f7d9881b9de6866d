// The file operations the agent makes itself: on files it was told to
// remove, and on the markup file the viewer has written.
#pragma once

#include <string>

// Read and write permission for the owner; failures are ignored by callers.
void MakeOwnerReadWrite(const std::string& path);
// True when the file was deleted.
bool DeleteFileAt(const std::string& path);

// The path with every short (8.3) name in it replaced by the long name the
// file system keeps; the path unchanged when the file system cannot give one
// (no such file, or, natively, a file system without short names).
std::string LongPathName(const std::string& path);

// What the file system takes a path to name, as one text to compare with
// PathsEqual: the path normalised (NormalizedPath, paths.h), then with the
// long names the file system knows. Two spellings of one file give the same
// identity; a file that does not exist keeps its normalised spelling.
std::string FileIdentity(const std::string& path);
// The same into identity, whose room is kept from one call to the next.
void FileIdentity(const std::string& path, std::string& identity);

// Whether path names an existing file (not a folder); and whether it names
// anything that exists, a folder included.
bool IsExistingFile(const std::string& path);
bool PathExists(const std::string& path);
