// The tests' system calls on Linux and other POSIX systems.
#include "tests/support/TestSystem.h"

#include <stdlib.h>

#include <csignal>
#include <filesystem>
#include <iterator>

std::optional<std::string> ReadEnvironment(const char* name) {
    const char* value = getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void WriteEnvironment(const char* name, const char* value) {
    value != nullptr ? setenv(name, value, 1) : unsetenv(name);
}

const char* const PlayerConfigVariable = "XDG_CONFIG_HOME";

void RequestQuit(QuitFrom from) {
    std::raise(from == QuitFrom::Desktop ? SIGTERM : SIGINT);
}

const bool WindowCloseIsAQuitRequest = false;

// Every open descriptor is an entry of /proc/self/fd (the listing's own among them, each time).
int OpenFileCount() {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                          std::filesystem::directory_iterator()));
}
