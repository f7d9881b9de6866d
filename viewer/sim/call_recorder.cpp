#include "viewer/sim/call_recorder.h"

namespace nuvsim {

CallOutcome CallRecorder::Enter(const std::string& operation, const std::string& logLine) {
    if (m_logEnabled) m_log.push_back(logLine);
    ++m_counts[operation];
    ++m_total;
    CallOutcome outcome;
    outcome.fail = Fires(m_failures, operation, &outcome.hr);
    if (!outcome.fail) {
        HRESULT ignored = S_OK;
        outcome.nullOut = Fires(m_nullOuts, operation, &ignored);
    }
    return outcome;
}

bool CallRecorder::Fires(std::map<std::string, Fault>& faults, const std::string& operation, HRESULT* hr) {
    const auto found = faults.find(operation);
    if (found == faults.end()) return false;
    Fault& fault = found->second;
    ++fault.seen;
    if (fault.nthCall != 0 && fault.seen != fault.nthCall) return false;
    *hr = fault.hr;
    return true;
}

void CallRecorder::FailOperation(const std::string& operation, HRESULT hr, int nthCall) {
    m_failures[operation] = Fault{hr, nthCall, 0};
}

void CallRecorder::NullOutOperation(const std::string& operation, int nthCall) {
    m_nullOuts[operation] = Fault{S_OK, nthCall, 0};
}

void CallRecorder::ClearFaults() {
    m_failures.clear();
    m_nullOuts.clear();
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
