#pragma once
#include <cstdlib>
#include <optional>
#include <string>

// Sets an environment variable, or clears it for nullptr, until the end of the scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name(name) {
        const char* old = std::getenv(name);
        saved = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        Set(value);
    }
    ~ScopedVariable() { Set(saved ? saved->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

    void Set(const char* value) { value != nullptr ? setenv(name, value, 1) : unsetenv(name); }

private:
    const char* name;
    std::optional<std::string> saved;
};
