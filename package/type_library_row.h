// The type library's row of the installer package, read from the module's
// IDL: the installer registers the library from the installed file through
// the system's own routine, the one DllRegisterServer calls, so the package
// writes what regsvr32 writes for it on every system.
#pragma once

#include <string>
#include <string_view>

struct TypeLibraryRow {
    std::string libraryId;  // {GUID}, upper case
    int language = 0;       // the library's lcid
    int version = 0;        // major in the high byte, minor in the low byte
    std::string description;
};

// Reads the attributes of the IDL's library block: uuid, version, helpstring
// and lcid. Fails, with a message, when there is no library block or it has
// no uuid or version.
bool ReadTypeLibraryRow(std::string_view idl, TypeLibraryRow& row, std::string& error);

// The TypeLib table with the one row, as an installer table file (.idt) for
// msibuild; the help folder is left to the registering routine.
std::string TypeLibTableFile(const TypeLibraryRow& row, std::string_view component, std::string_view feature);
