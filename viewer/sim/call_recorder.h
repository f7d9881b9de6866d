// The log of viewer calls, their counters and the fault switches.
#pragma once

#include "platform/com.h"

#include <map>
#include <string>
#include <vector>

namespace nuvsim {

struct CallOutcome {
    bool fail = false;
    HRESULT hr = S_OK;
    bool nullOut = false;
};

class CallRecorder {
public:
    // Records one call and says whether a fault switch takes it over.
    CallOutcome Enter(const std::string& operation, const std::string& logLine);

    void FailOperation(const std::string& operation, HRESULT hr, int nthCall);
    void NullOutOperation(const std::string& operation, int nthCall);
    void ClearFaults();
    void Clear();
    bool LogEnabled() const { return m_logEnabled; }
    void EnableLog(bool enabled) { m_logEnabled = enabled; }

    const std::vector<std::string>& Log() const { return m_log; }
    long Total() const { return m_total; }
    long Count(const std::string& operation) const;

private:
    struct Fault {
        HRESULT hr = S_OK;
        int nthCall = 0;
        int seen = 0;
    };
    static bool Fires(std::map<std::string, Fault>& faults, const std::string& operation, HRESULT* hr);

    std::vector<std::string> m_log;
    std::map<std::string, long> m_counts;
    long m_total = 0;
    bool m_logEnabled = true;
    std::map<std::string, Fault> m_failures;
    std::map<std::string, Fault> m_nullOuts;
};

}  // namespace nuvsim
