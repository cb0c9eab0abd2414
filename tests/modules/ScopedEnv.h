// Sets (or, with a null value, removes) an environment variable for the
// life of the object and restores the previous state afterwards.
#pragma once

#include <cstdlib>
#include <string>

#include "tests/support/TestSupport.h"

namespace testsupport {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        const char* old = std::getenv(name);
        m_hadValue = old != nullptr;
        m_old = old ? old : "";
        SetEnvironment(name, value);
    }
    ~ScopedEnv() {
        SetEnvironment(m_name.c_str(), m_hadValue ? m_old.c_str() : nullptr);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_hadValue;
};

}  // namespace testsupport
