// The type library's registration as rows of the installer package's
// Registry table, read from the module's IDL: the keys and values that the
// system's registering routine (the one DllRegisterServer calls) writes for
// the library, with the installed file's path, so that the package writes
// what regsvr32 writes for it and removes it again on uninstall.
#pragma once

#include "package/registry_rows.h"

#include <string>
#include <string_view>
#include <vector>

struct TypeLibraryRow {
    std::string libraryId;  // {GUID}, upper case
    int language = 0;       // the library's lcid
    int major = 0;
    int minor = 0;
    int flags = 0;            // as the compiled library reports them: restricted 1, control 2, hidden 4, disk image 8
    std::string description;  // the helpstring, else the library's name
};

// Reads the library block's name and attributes: uuid, version, helpstring,
// lcid and the flags. Fails, with a message, when there is no library block,
// it has no uuid or version, its helpstring is empty or holds a control
// character, or the IDL declares an automation interface (the registering
// routine would write keys of its own for it, which no row here says).
bool ReadTypeLibraryRow(std::string_view idl, TypeLibraryRow& row, std::string& error);

// The library's rows, all under HKCR\TypeLib\{id}\major.minor (in hex, as
// the registering routine names them): its description, the installed path
// of the module file moduleFileId, its flags, and its help folder, the
// installer's folder folderId that holds the module, wherever the
// administrator installs it. The installer writes a folder with its
// separator at the end, which the registering routine leaves out; both name
// the same folder to whoever reads the help from it.
std::vector<PackageRegistryRow> TypeLibraryRegistryRows(const TypeLibraryRow& row, std::string_view moduleFileId,
                                                        std::string_view folderId);
