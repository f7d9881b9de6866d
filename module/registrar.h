// Runs a registry script (module/registrar_parser.h) against the registry.
//
// Register: every key is created and its values written; a ForceRemove key's
// whole tree is deleted first, so nothing stale survives beneath it.
// Unregister: every key's tree is deleted, except that a NoRemove key stays
// and only its subkeys are visited. Keys that are already gone are no error.
#pragma once

#include "module/registrar_parser.h"

enum class RegistryScriptMode { Register, Unregister };

// The script is read in full before the registry is touched: a script error
// changes nothing.
HRESULT RunRegistryScript(std::string_view script, RegistryScriptMode mode, const RegistryVariables& variables);
