// Sets (or removes) an environment variable for one test and puts the old
// value back afterwards. The Windows build goes through the C runtime's own
// table, which is what getenv reads there.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_previous = old;
        Set(value);
    }
    ~ScopedEnv() { Set(m_previous); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const std::optional<std::string>& value) {
#ifdef _WIN32
        // "NAME=" removes the variable: the runtime keeps no empty values.
        m_assignment = m_name + "=" + value.value_or("");
        _putenv(m_assignment.c_str());
#else
        if (value)
            setenv(m_name.c_str(), value->c_str(), 1);
        else
            unsetenv(m_name.c_str());
#endif
    }

    std::string m_name;
    std::optional<std::string> m_previous;
#ifdef _WIN32
    std::string m_assignment;
#endif
};
