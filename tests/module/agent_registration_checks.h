// What a registered agent module leaves in HKEY_CLASSES_ROOT and, for its
// event source, in HKEY_LOCAL_MACHINE, checked the same way in both builds.
#pragma once

#include <string>

inline const std::string kClassKey = "CLSID\\{FE4F5263-11D5-D724-D5BA-A978983B6369}";
inline const std::string kProgId = "ZelDMAgent.DMAgent.1";
inline const std::string kIndependentProgId = "ZelDMAgent.DMAgent";
inline const std::string kTypeLibKey = "TypeLib\\{DE2BA9C8-CF2E-D1DF-8B64-441C516B64AE}";

// Every key and value of the registration; the server path compared without
// regard to case (Windows paths).
void ExpectAgentRegistered(const std::string& modulePath);
// The ProgID trees, the class key and the event source are gone; CLSID
// stays.
void ExpectAgentUnregistered();
