// Native builds keep the registry in a file: each test that writes it gets a
// store of its own in a fresh folder. The Windows build uses the real one.
#pragma once

#include "tests/support/scoped_env.h"

#include <filesystem>
#include <memory>

#ifndef _WIN32
#include <cstdlib>
#endif

class TempRegistry {
public:
    TempRegistry() {
#ifndef _WIN32
        char pattern[] = "/tmp/zelreg-XXXXXX";
        if (mkdtemp(pattern)) {
            m_dir = pattern;
            m_env = std::make_unique<ScopedEnv>("NUV_REGISTRY_FILE", (m_dir / "registry").string());
        }
#endif
    }
    ~TempRegistry() {
        m_env.reset();
        if (!m_dir.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(m_dir, ignored);
        }
    }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

private:
    std::filesystem::path m_dir;
    std::unique_ptr<ScopedEnv> m_env;
};
