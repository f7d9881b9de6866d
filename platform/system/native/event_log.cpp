// There is no event log natively: the stand-in keeps each event as one line
// "event <id>, <level>: <text>" in the file ZEL_EVENT_LOG_FILE names, the
// text formatted from the message table source compiled in
// (module/embed_events.cmake), where tests and zelview-sim read them.
#include "platform/system/event_log.h"

#include "platform/system/native/file_lines.h"

#include <cstdlib>

namespace {

struct EventText {
    unsigned id;
    const char* text;
};

constexpr EventText kEventTexts[] = {
#include "module_event_texts.inc"
};

constexpr char kEventLogVariable[] = "ZEL_EVENT_LOG_FILE";

// The insertion strings replace %1 to %9, as FormatMessage puts them in; an
// event the table lacks shows its strings alone, as Event Viewer does.
std::string Formatted(unsigned eventId, const std::vector<std::string>& insertions) {
    const char* text = nullptr;
    for (const EventText& entry : kEventTexts)
        if (entry.id == eventId) text = entry.text;
    std::string result;
    if (!text) {
        result = "(no text for this event)";
        for (const std::string& insertion : insertions) result += " " + insertion;
        return result;
    }
    for (const char* at = text; *at; ++at) {
        const unsigned number = at[0] == '%' && at[1] >= '1' && at[1] <= '9' ? static_cast<unsigned>(at[1] - '0') : 0;
        if (number == 0) {
            result += *at;
            continue;
        }
        if (number <= insertions.size()) result += insertions[number - 1];
        ++at;
    }
    while (!result.empty() && result.back() == ' ') result.pop_back();
    return result;
}

}  // namespace

void WriteEventLogEntry(unsigned eventId, EventLevel level, const std::vector<std::string>& insertions) {
    const char* path = std::getenv(kEventLogVariable);
    if (!path || !*path) return;
    AppendTextLine(path, "event " + std::to_string(eventId) + ", " + EventLevelName(level) + ": " +
                             Formatted(eventId, insertions) + "\n");
}
