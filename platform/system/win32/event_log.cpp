#include "platform/system/event_log.h"

#include "platform/com/unique_resource.h"
#include "platform/text/codepage.h"

namespace {

struct EventSourceTraits {
    using Handle = HANDLE;
    static constexpr Handle kEmpty = nullptr;
    static void Close(Handle handle) { DeregisterEventSource(handle); }
};
using UniqueEventSource = UniqueResource<EventSourceTraits>;

WORD EventType(EventLevel level) {
    switch (level) {
    case EventLevel::kError: return EVENTLOG_ERROR_TYPE;
    case EventLevel::kWarning: return EVENTLOG_WARNING_TYPE;
    case EventLevel::kInformation: return EVENTLOG_INFORMATION_TYPE;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

}  // namespace

// The source is opened for each event: refusals are rare, and no handle
// outlives the module.
void WriteEventLogEntry(unsigned eventId, EventLevel level, const std::vector<std::string>& insertions) {
    const WideString sourceName = AnsiToWide(kEventSourceName);
    const UniqueEventSource source(RegisterEventSourceW(nullptr, sourceName.c_str()));
    if (!source) return;
    std::vector<WideString> wide;
    for (const std::string& text : insertions) wide.push_back(AnsiToWide(text));
    std::vector<LPCWSTR> strings;
    for (const WideString& text : wide) strings.push_back(text.c_str());
    ReportEventW(source.get(), EventType(level), 0, eventId, nullptr, static_cast<WORD>(strings.size()), 0,
                 strings.empty() ? nullptr : strings.data(), nullptr);
}
