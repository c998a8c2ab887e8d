#pragma once
#include <optional>
#include <string>

#include "platform/System.h"

// What the tests do that each operating system does its own way. tests/support/posix and
// tests/support/windows each implement all of it; the build takes the folder of the system it
// builds for, as it does for the game's platform room.

// --- The environment ---

// A variable of the process's environment, in UTF-8; nothing when it is unset.
std::optional<std::string> ReadEnvironment(const char* name);
// Sets a variable, or unsets it for nullptr, wherever the game and the libraries it loads read
// the environment.
void WriteEnvironment(const char* name, const char* value);

// Sets an environment variable, or clears it for nullptr, until the end of the scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name(name), saved(ReadEnvironment(name)) {
        Set(value);
    }
    ~ScopedVariable() { Set(saved ? saved->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

    void Set(const char* value) { WriteEnvironment(name, value); }

private:
    const char* name;
    std::optional<std::string> saved;
};

// The variable that names the player's configuration folder (PlayerConfigFolder):
// XDG_CONFIG_HOME on POSIX systems, APPDATA on Windows.
extern const char* const PlayerConfigVariable;

// The player's configuration folder is the given absolute folder until the end of the scope.
class PlayerConfigFolderAt : public ScopedVariable {
public:
    explicit PlayerConfigFolderAt(const std::string& folder)
        : ScopedVariable(PlayerConfigVariable, folder.c_str()) {}
};

// --- Quit requests ---

// Where a quit request comes from.
enum class QuitFrom {
    Desktop,   // a logout, a shutdown, a task manager ending the game
    Terminal,  // Ctrl-C in the terminal the game was started from
};

// Asks the game to quit as the system does: on POSIX systems SIGTERM from the desktop and SIGINT
// from the terminal; on Windows, where the game hears neither, the window being closed. Only
// while QuitRequestsCaught lives: an uncaught signal ends the test program.
void RequestQuit(QuitFrom from);

// True where the window's own close (SDL_QUIT) is a quit request: on Windows, not on the POSIX
// desktops, where the game ignores its close button.
extern const bool WindowCloseIsAQuitRequest;

// The quit requests caught as the game catches them, for one test, which makes one with
// RequestQuit (on POSIX systems each signal is caught once) so that the screens see it. Puts back
// what was there and forgets the request afterwards.
class QuitRequestsCaught {
public:
    QuitRequestsCaught() {
        ClearQuitRequest();
        CatchQuitRequests();
    }
    ~QuitRequestsCaught() {
        ReleaseQuitRequests();
        ClearQuitRequest();
    }
    QuitRequestsCaught(const QuitRequestsCaught&) = delete;
    QuitRequestsCaught& operator=(const QuitRequestsCaught&) = delete;
};

// --- Files ---

// The number of files the process holds open, so that a test sees a file left open.
int OpenFileCount();
