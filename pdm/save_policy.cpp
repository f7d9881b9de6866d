#include "pdm/save_policy.h"

#include "platform/system/file_ops.h"
#include "platform/text/ansi_code_page.h"
#include "platform/system/machine_policy.h"
#include "platform/text/paths.h"
#include "platform/com/string_ids.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::string_view kBlanks = " \t";

// True when a character of text begins at `at`: the second byte of a
// double-byte character is no place to end a program's path.
bool IsCharacterStart(const std::string& text, size_t at) {
    size_t position = 0;
    while (position < at) position += CharacterLength(text, position);
    return position == at;
}

// An entry counts when the program it names has a full path; where an
// unquoted entry's program ends shows only against DMAgent, but a full path
// shows at its beginning.
bool Counts(const std::string& entry) {
    const SaveProgram read = ReadSaveProgram(entry);
    return read.wellFormed && IsFullPath(read.quoted ? read.program : TrimBlanks(entry));
}

bool SameProgram(const std::string& a, const std::string& b) { return PathsEqual(FileIdentity(a), FileIdentity(b)); }

bool EntryIsDMAgent(const std::string& entry, const SaveProgram& dmAgent) {
    const std::string text = TrimBlanks(entry);
    const SaveProgram listed = ReadSaveProgram(text);
    if (listed.quoted || !listed.prefixOfPath)
        if (listed.wellFormed && SameProgram(listed.program, dmAgent.program) && listed.words == dmAgent.words)
            return true;
    if (listed.quoted) return false;
    // Written without quotes, a program's path may hold blanks (Program
    // Files) where the file is not on this machine for the entry's own
    // reading to find it: the entry is DMAgent's program, then a blank and
    // its words.
    const size_t end = dmAgent.program.size();
    if (text.size() < end || !IsCharacterStart(text, end)) return false;
    if (end < text.size() && kBlanks.find(text[end]) == std::string_view::npos) return false;
    return SameProgram(text.substr(0, end), dmAgent.program) && TrimBlanks(text.substr(end)) == dmAgent.words;
}

unsigned MessageOf(SavePolicyVerdict verdict) {
    switch (verdict) {
    case SavePolicyVerdict::kNoneAllowed: return IDS_SAVE_NO_PROGRAM_ALLOWED;
    case SavePolicyVerdict::kNotFullPath: return IDS_SAVE_PROGRAM_NOT_FULL_PATH;
    case SavePolicyVerdict::kNotListed:
    case SavePolicyVerdict::kAllowed: break;
    }
    return IDS_SAVE_PROGRAM_NOT_ALLOWED;
}

}  // namespace

std::optional<std::vector<std::string>> ReadSaveCommandsPolicy(std::string* state) {
    std::string ignored;
    std::string& said = state ? *state : ignored;
    std::optional<std::vector<std::string>> allowed;
    bool switchUnreadable = false;
    bool listUnreadable = false;
    // A policy that cannot be read allows nothing; the log says so, since an
    // empty list would look like an administrator's choice.
    const auto unreadable = [&listUnreadable] { return listUnreadable ? " (unreadable: nothing allowed)" : ""; };
    switch (ReadPolicySwitch(kPdmPolicyKey, kRestrictSaveCommandsValue, &switchUnreadable)) {
    case PolicySwitch::kOff: said = std::string(kRestrictSaveCommandsValue) + " off"; return std::nullopt;
    case PolicySwitch::kOn:
        allowed = ReadPolicyTexts(kAllowedSaveCommandsKey, &listUnreadable).value_or(std::vector<std::string>());
        said = std::string(kRestrictSaveCommandsValue) + (switchUnreadable ? " unreadable, taken as on, " : " on, ") +
               std::to_string(allowed->size()) + " listed in " + kAllowedSaveCommandsKey + unreadable();
        return allowed;
    case PolicySwitch::kNotSet: break;
    }
    allowed = ReadPolicyTexts(kSaveCommandsPolicyKey, &listUnreadable);
    said = allowed ? std::to_string(allowed->size()) + " listed in " + kSaveCommandsPolicyKey + unreadable() : "not set";
    return allowed;
}

SavePolicyVerdict CheckSaveCommand(const std::vector<std::string>& allowed, const SaveProgram& program) {
    if (std::none_of(allowed.begin(), allowed.end(), Counts)) return SavePolicyVerdict::kNoneAllowed;
    if (!IsFullPath(program.program)) return SavePolicyVerdict::kNotFullPath;
    const bool listed = std::any_of(allowed.begin(), allowed.end(), [&program](const std::string& entry) {
        return Counts(entry) && EntryIsDMAgent(entry, program);
    });
    return listed ? SavePolicyVerdict::kAllowed : SavePolicyVerdict::kNotListed;
}

SavePolicyCheck CheckSavePolicy(const SaveProgram& program) {
    SavePolicyCheck check;
    const std::optional<std::vector<std::string>> allowed = ReadSaveCommandsPolicy(&check.state);
    if (!allowed) return check;
    const SavePolicyVerdict verdict = CheckSaveCommand(*allowed, program);
    if (verdict == SavePolicyVerdict::kAllowed) return check;
    check.messageId = MessageOf(verdict);
    return check;
}
