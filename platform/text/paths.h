// Paths as plain text: split into drive, directory, base name and extension
// the way the runtime's _splitpath does, and compared by the agent's one
// equality rule. Both go by the characters of the system's ANSI code page:
// the second byte of a double-byte character is never a separator, a dot or
// a letter to fold. Nothing here touches the file system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The four parts, each cut to the runtime's buffer; whether the folder
// (drive and directory) or the file name (base name and extension) lost
// characters to a cut.
struct PathParts {
    std::string drive;
    std::string directory;
    std::string baseName;
    std::string extension;
    bool folderCut = false;
    bool fileNameCut = false;
};
PathParts SplitPath(const std::string& path);

// Drive and directory: the folder that holds the file, with its separator.
std::string PathFolder(const std::string& path);
// Base name and extension: the file name without its folder.
std::string PathFileName(const std::string& path);
// The same where neither part is cut, as the place of the file name in
// path; nothing when PathFileName would cut it.
std::optional<std::string_view> WholeFileName(std::string_view path);
// Whether PathFolder and PathFileName give the whole folder and the whole
// file name: a part longer than the runtime's buffers is cut.
bool PathFolderFits(const std::string& path);
bool PathFileNameFits(const std::string& path);

// Names, section and key names, paths and URL prefixes are the same when they
// match ignoring letter case, with "/" taken as "\".
bool PathsEqual(const std::string& a, const std::string& b);
// A hash that is the same for any two texts PathsEqual finds equal, for
// lookups that compare only texts of the same hash.
uint32_t PathHash(std::string_view text);

// The path as Windows resolves it before it reaches a file system: the
// \\?\ and \\.\ prefixes removed (\\?\UNC\ gives back the server's two
// separators), doubled separators and "." folded away, ".." taking back the
// folder before it (never the drive or the server and share), the dots and
// blanks that end a name dropped, every separator "\". Nothing else changes:
// letter case is the comparison's business (PathsEqual), short names the file
// system's (FileIdentity, file_ops.h).
std::string NormalizedPath(const std::string& path);
// The same into normalized, whose room is kept from one call to the next.
void NormalizePath(const std::string& path, std::string& normalized);

// The text without the dots and blanks that end it, as Windows drops them
// from a name; a double-byte character is never cut, and none ends in a dot
// or a blank.
std::string_view WithoutTrailingDotsAndBlanks(std::string_view name);

// A path that names one file whatever the current folder and drive are: it
// begins with a drive letter and its separator (C:\) or with two separators
// (\\server\share). The native build also takes its own root (/, or \ as
// paths compare).
bool IsFullPath(const std::string& path);
// The Windows forms alone.
bool IsDriveOrServerPath(const std::string& path);
