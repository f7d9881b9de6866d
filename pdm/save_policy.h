// The programs a markup save may run. The launch file names the program, so
// whoever can make a user open a crafted launch file could run any program;
// a PDM administrator can pin the save commands with a machine policy, set
// through the Group Policy template (package/PolicyDefinitions) or by hand.
#pragma once

#include "pdm/save_command.h"

#include <optional>
#include <string>
#include <vector>

// The agent's policy key; the template's policies write their values here.
inline constexpr char kPdmPolicyKey[] = "Software\\Policies\\Tarnex\\ZelView\\ZelPDM";
// REG_DWORD in kPdmPolicyKey, the template's "Restrict save programs": 1
// allows only the DMAgent values listed in kAllowedSaveCommandsKey (none when
// it lists none), 0 allows every one. The template writes it with the list,
// so that the list key left empty by a disabled or removed policy never
// stops the saves.
inline constexpr char kRestrictSaveCommandsValue[] = "RestrictSaveCommands";
inline constexpr char kAllowedSaveCommandsKey[] = "Software\\Policies\\Tarnex\\ZelView\\ZelPDM\\AllowedSaveCommands";
// The list written by hand: without kRestrictSaveCommandsValue, this key
// being there switches the policy on.
inline constexpr char kSaveCommandsPolicyKey[] = "Software\\Policies\\Tarnex\\ZelView\\ZelPDM\\SaveCommands";

// The allowed DMAgent values (REG_SZ and expanded REG_EXPAND_SZ values of
// the list), or nothing when the policy is off. state, when given, says for
// the log which switch and list decided.
std::optional<std::vector<std::string>> ReadSaveCommandsPolicy(std::string* state = nullptr);

enum class SavePolicyVerdict {
    kAllowed,
    kNotListed,    // no entry is DMAgent's value
    kNoneAllowed,  // the list holds no entry that counts
    kNotFullPath,  // DMAgent's program has no drive letter or server
};

// With the policy on, DMAgent runs only when its program and words, as the
// save reads them (ReadSaveProgram), are one of the entries: the program
// compared by its file identity, so that any spelling of its folder names
// it, its own words exactly, blanks around both aside. Only entries and
// programs with a full path count. An entry may quote its program or not:
// written without quotes, it names DMAgent's program when it begins with
// that path and a blank or the end follows.
SavePolicyVerdict CheckSaveCommand(const std::vector<std::string>& allowed, const SaveProgram& program);

struct SavePolicyCheck {
    unsigned messageId = 0;  // 0 when the policy allows DMAgent; its message names the program
    std::string state;       // the policy as it was read, for the log
};
SavePolicyCheck CheckSavePolicy(const SaveProgram& program);
