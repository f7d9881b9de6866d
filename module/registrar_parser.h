// Reads a registry script in the registrar language of COM servers:
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {guid} = s 'Name'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
//
// Tokens are separated by white space; 'quoted' text may hold anything, with
// '' for a quote. A key may carry a default value and a block of subkeys and
// named values ("val Name = ..."); values are s (REG_SZ), e (REG_EXPAND_SZ) or
// d (REG_DWORD).
// %NAME% stands for a variable, %% for a percent sign; variables are replaced
// in the text of each token after it is read, so a value may contain quotes.
#pragma once

#include "platform/com/com.h"
#include "platform/system/registry_api.h"

#include <string>
#include <string_view>
#include <vector>

struct RegistryVariable {
    std::string name;
    std::string value;
};
using RegistryVariables = std::vector<RegistryVariable>;

struct RegistryScriptValue {
    std::string name;  // empty for the key's default value
    DWORD type = REG_SZ;
    std::string text;  // REG_SZ, REG_EXPAND_SZ
    DWORD number = 0;  // REG_DWORD
};

struct RegistryScriptKey {
    std::string name;
    bool forceRemove = false;  // register: delete the whole tree first
    bool noRemove = false;     // unregister: keep this key, visit its subkeys
    bool hasDefault = false;
    RegistryScriptValue defaultValue;
    std::vector<RegistryScriptValue> values;
    std::vector<RegistryScriptKey> subkeys;
};

struct RegistryScriptRoot {
    HKEY hive = nullptr;
    std::vector<RegistryScriptKey> keys;
};

// A script that does not follow the language, or names an unknown variable,
// gives E_INVALIDARG and no roots.
HRESULT ParseRegistryScript(std::string_view script, const RegistryVariables& variables,
                            std::vector<RegistryScriptRoot>& roots);
