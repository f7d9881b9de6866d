// The log of viewer calls, their counters and the fault switches.
#pragma once

#include "platform/com/com.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nuvsim {

struct CallOutcome {
    bool fail = false;
    HRESULT hr = S_OK;
    bool garbageOut = false;  // with fail: garbage goes into the out arguments
    bool nullOut = false;
};

class CallRecorder {
public:
    // Records one call and says whether a fault switch takes it over.
    CallOutcome Enter(std::string_view operation, std::string logLine);

    void FailOperation(const std::string& operation, HRESULT hr, int nthCall, bool garbageOut);
    void NullOutOperation(const std::string& operation, int nthCall);
    // The next call of the operation runs action once it is recorded.
    void OnNextCall(const std::string& operation, std::function<void()> action);
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
        bool garbageOut = false;
    };
    // Lets a call name given as a literal find its counter without a copy.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
    };
    using Faults = std::map<std::string, Fault, std::less<>>;
    // The fault that takes this call over, if any.
    static const Fault* Fires(Faults& faults, std::string_view operation);

    std::vector<std::string> m_log;
    std::unordered_map<std::string, long, NameHash, std::equal_to<>> m_counts;
    long m_total = 0;
    bool m_logEnabled = true;
    Faults m_failures;
    Faults m_nullOuts;
    std::map<std::string, std::function<void()>, std::less<>> m_nextCallActions;
};

}  // namespace nuvsim
