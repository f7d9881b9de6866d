// The registry entries of the agent's registry script as rows of the
// installer package: read by the same parser as the DLL's registrar, so that
// the package writes what regsvr32 writes, with the installed file's path
// where the script says %MODULE%.
#pragma once

#include "module/registrar_parser.h"

#include <string>
#include <string_view>
#include <vector>

struct PackageRegistryRow {
    std::string root;  // HKCR or HKLM
    std::string key;   // full key path, in the installer's formatted text
    std::string name;  // empty for the key's default value
    bool number = false;
    std::string value;        // formatted text, or the decimal number
    bool expandable = false;  // REG_EXPAND_SZ
};

// One row per value of the script, in the script's order. The package
// removes what it wrote and nothing else, so the script's ForceRemove and
// NoRemove marks have no row of their own. Fails, with a message, on what a
// row cannot say the way the registrar does: per-user keys, empty string
// values (the installer reads an empty value as "create the key"), keys with
// neither values nor subkeys.
bool BuildPackageRegistryRows(std::string_view script, std::string_view moduleFileId,
                              std::vector<PackageRegistryRow>& rows, std::string& error);

// The text as the installer's formatted text that stands for itself.
std::string FormattedLiteral(std::string_view text);

// The rows as a wixl include file of RegistryValue elements, placed inside
// the component that installs the module.
std::string RegistryRowsInclude(const std::vector<PackageRegistryRow>& rows);
