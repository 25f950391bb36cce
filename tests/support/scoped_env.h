#pragma once
// An environment variable set (or, given nullptr, removed) for one scope, and put back as it
// was when the scope ends, even when a failed assertion ends the test early.
#include <cstdlib>
#include <optional>
#include <string>

struct ScopedEnv {
    ScopedEnv(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) saved = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { saved ? ::setenv(name, saved->c_str(), 1) : ::unsetenv(name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    const char* name;
    std::optional<std::string> saved;
};
