// The Application event log, where fleets collect what their machines
// report: one event per call, under the agent's event source, its text taken
// from the module's message table by the event's number. Like the log file,
// it never fails a caller: an event that cannot be written is lost.
#pragma once

#include <string>
#include <vector>

// The event source in the Application log; the module's registration names
// its message table for this source.
inline constexpr char kEventSourceName[] = "ZelDMAgent";
// Where the registration names it, below HKEY_LOCAL_MACHINE (written by the
// registry script, module/ZelDMAgent.rgs.in).
inline constexpr char kEventSourceKey[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\ZelDMAgent";

enum class EventLevel { kError, kWarning, kInformation };

// Writes the event eventId with its insertion strings (%1, %2, ... of the
// message table's text), given in the ANSI code page.
void WriteEventLogEntry(unsigned eventId, EventLevel level, const std::vector<std::string>& insertions);

// The level's name, as Event Viewer shows it.
const char* EventLevelName(EventLevel level);
