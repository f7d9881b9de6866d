#include "pdm/save_policy.h"

#include "platform/machine_policy.h"
#include "platform/paths.h"

#include <algorithm>

bool IsSaveProgramAllowed(const std::string& program) {
    const auto allowed = ReadPolicyTexts(kSaveCommandsPolicyKey);
    if (!allowed) return true;
    return std::any_of(allowed->begin(), allowed->end(),
                       [&program](const std::string& listed) { return PathsEqual(listed, program); });
}
