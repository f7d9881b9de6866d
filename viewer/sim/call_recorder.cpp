#include "viewer/sim/call_recorder.h"

#include <utility>

namespace nuvsim {

CallOutcome CallRecorder::Enter(std::string_view operation, std::string logLine) {
    if (m_logEnabled) m_log.push_back(std::move(logLine));
    const auto counted = m_counts.find(operation);
    if (counted != m_counts.end()) {
        ++counted->second;
    } else {
        m_counts.emplace(std::string(operation), 1);
    }
    ++m_total;
    CallOutcome outcome;
    if (const Fault* failure = Fires(m_failures, operation)) {
        outcome.fail = true;
        outcome.hr = failure->hr;
        outcome.garbageOut = failure->garbageOut;
    } else {
        outcome.nullOut = Fires(m_nullOuts, operation) != nullptr;
    }
    if (!m_nextCallActions.empty()) {
        const auto found = m_nextCallActions.find(operation);
        if (found != m_nextCallActions.end()) {
            // Taken out first: the action may call into the agent, which calls the viewer again.
            const std::function<void()> action = std::move(found->second);
            m_nextCallActions.erase(found);
            action();
        }
    }
    return outcome;
}

const CallRecorder::Fault* CallRecorder::Fires(Faults& faults, std::string_view operation) {
    if (faults.empty()) return nullptr;
    const auto found = faults.find(operation);
    if (found == faults.end()) return nullptr;
    Fault& fault = found->second;
    ++fault.seen;
    if (fault.nthCall != 0 && fault.seen != fault.nthCall) return nullptr;
    return &fault;
}

void CallRecorder::FailOperation(const std::string& operation, HRESULT hr, int nthCall, bool garbageOut) {
    m_failures[operation] = Fault{hr, nthCall, 0, garbageOut};
}

void CallRecorder::NullOutOperation(const std::string& operation, int nthCall) {
    m_nullOuts[operation] = Fault{S_OK, nthCall, 0, false};
}

void CallRecorder::OnNextCall(const std::string& operation, std::function<void()> action) {
    m_nextCallActions[operation] = std::move(action);
}

void CallRecorder::ClearFaults() {
    m_failures.clear();
    m_nullOuts.clear();
    m_nextCallActions.clear();
}

void CallRecorder::Clear() {
    m_log.clear();
    m_counts.clear();
    m_total = 0;
}

long CallRecorder::Count(const std::string& operation) const {
    const auto found = m_counts.find(operation);
    return found == m_counts.end() ? 0 : found->second;
}

}  // namespace nuvsim
