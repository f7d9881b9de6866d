#include "platform/system/event_log.h"

const char* EventLevelName(EventLevel level) {
    switch (level) {
    case EventLevel::kError: return "Error";
    case EventLevel::kWarning: return "Warning";
    case EventLevel::kInformation: return "Information";
    }
    return "Information";
}
