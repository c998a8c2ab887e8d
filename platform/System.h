#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct SDL_Window;

// What differs between the operating systems the game runs on, and nothing else. Each system
// implements all of it in a folder of its own beside the other (platform/posix, platform/windows);
// the build takes one. Inside the game every path is UTF-8 with '/' between folders; a system
// that speaks otherwise converts at this border.

// The libraries loaded by name at run time: OpenGL (through SDL) and OpenAL Soft.
extern const char* const GLLibraryName;
extern const char* const ALLibraryName;

// The program's arguments after its own name, as UTF-8, with the paths in them written as the
// game writes paths: where the system separates folders with '\', those become '/'. Also makes
// the console, where there is one, show the UTF-8 the program prints.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// --- Files and folders ---

// The full path of the running executable. False when it cannot be read or is absurdly long.
bool ExecutablePath(std::string& path);

// fopen for a path; errno as fopen leaves it (ENOENT for a file that is not there), but EISDIR
// where a system refuses to open a folder at all.
FILE* OpenFile(const std::string& path, const char* mode);

// The size of an open file when it is a regular file; false for anything else (a folder, a
// pipe), whose size is only known once it is read.
bool RegularFileSize(FILE* file, size_t& size);

// What a path names.
enum class PathKind { Missing, Folder, Other };
PathKind KindOfPath(const std::string& path);

// The path every link on the way to it leads to, made absolute; empty when it names nothing.
std::string RealPath(const std::string& path);

// The folder part of a path: "." for a bare name, the root itself ("/", "C:/") for a name right
// below it.
std::string FolderOf(const std::string& path);

// 0 when the player may make files in the folder, else the errno value that says why not.
int FolderRefusal(const std::string& folder);

// True when a folder (a RealPath) lies in the system's own tree of installed programs, which
// belongs to the package manager or the installer: a system-wide install keeps its settings per
// player, and the game writes nothing there, not even when the system would let it.
bool InSystemProgramTree(const std::string& realFolder);

// Makes one folder that only the player may read; an existing folder is no failure. False,
// with the reason, when it cannot be made.
bool MakePrivateFolder(const std::string& folder, std::string& failure);

// Replaces the file at path with the given bytes so that, whatever happens, the path holds
// either the old contents or the new ones in full: the bytes go to a temporary file in the same
// folder, which is flushed to disk and then put in the file's place in one step. Where the
// system has symbolic links and path is one (a player may keep the file in a synced folder that
// way), all of this happens at the file the link leads to, and the link stays as it was. On
// failure the old file is untouched, the temporary file is removed, and failure names what went
// wrong. After a save that succeeded, temporary files of this path left by saves that were
// killed are removed.
bool ReplaceFileSafely(const std::string& path, const uint8_t* bytes, size_t size,
                       std::string& failure);

// --- The player's folders ---

// The folder, below the player's configuration folder, that holds a system-wide install's
// settings for that player.
extern const char* const PerUserSettingsFolder;

// The player's configuration folder, where each program keeps a folder of its settings; empty
// when none is known.
std::string PlayerConfigFolder();

// The player's home folder, which paths shown to the player write as "~"; empty where the
// system does not write paths that way.
std::string HomeFolderShownAsTilde();

// --- Quit requests from the system ---
// Every frame loop looks at QuitRequested where it decides whether to go on, so the program
// leaves the screen it is in and unwinds through its ordinary release, save and teardown.

// Takes the system's quit requests from now on (see the implementation of each system for which
// they are), until ReleaseQuitRequests puts back what was there before.
void CatchQuitRequests();
void ReleaseQuitRequests();

// The window's own close (its close button, Alt+F4, a task manager closing it): a quit request
// where the system's players expect one, nothing where the game ignores it.
void WindowCloseRequested();

// Where the system ends the process as soon as the window has been told that the session ends
// (a logoff or a shutdown on Windows), save is called then, on the main thread while events
// are pumped, and the game ends right after with status 0. Nothing where the session's end is a
// quit request the program unwinds from like any other.
void SaveWhenSessionEnds(SDL_Window* window, void (*save)());

// True once a quit was requested.
bool QuitRequested();

// Forgets a request, so that tests can run one scenario after another.
void ClearQuitRequest();
