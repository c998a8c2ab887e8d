// The game on Windows. Paths cross into Windows through the wide-character calls only, so the
// game runs from any folder a player may choose: spaces, our own name's apostrophe, letters of
// any language.
#include "platform/System.h"

#include <sys/stat.h>
#include <cerrno>
#include <cwchar>
#include <vector>

#include "platform/windows/Text.h"

// After windows.h, which they need.
#include <shellapi.h>
#include <shlobj.h>

const char* const GLLibraryName = "OpenGL32.dll";
const char* const ALLibraryName = "soft_oal.dll";
const char* const PerUserSettingsFolder = "Brindle's Cataclysm";

namespace {

// The longest path the wide-character calls take.
constexpr DWORD LongestPath = 32768;

std::string KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* folder = nullptr;
    std::string path;
    if (SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK) {
        path = GamePathFromWide(folder, std::wcslen(folder));
    }
    CoTaskMemFree(folder);
    return path;
}

// A variable of the process's environment, as Windows keeps it; empty when unset.
std::string EnvironmentPath(const wchar_t* name) {
    std::vector<wchar_t> value(LongestPath);
    DWORD length = GetEnvironmentVariableW(name, value.data(), LongestPath);
    return length > 0 && length < LongestPath ? GamePathFromWide(value.data(), length) : "";
}

// "C:/..." or a network path "//server/...".
bool IsAbsolute(const std::string& path) {
    return (path.size() >= 3 && path[1] == ':' && path[2] == '/') ||
           (path.size() >= 2 && path[0] == '/' && path[1] == '/');
}

// True when text starts with prefix, letter case aside, as Windows compares file names.
bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    std::wstring wideText, widePrefix;
    if (!WideFromUtf8(text, wideText) || !WideFromUtf8(prefix, widePrefix) ||
        widePrefix.size() > wideText.size() || widePrefix.empty()) {
        return false;
    }
    const int length = static_cast<int>(widePrefix.size());
    return CompareStringOrdinal(wideText.data(), length, widePrefix.data(), length, TRUE) ==
           CSTR_EQUAL;
}

}  // namespace

// The arguments come from Windows' own UTF-16 command line, since the ANSI ones the C runtime
// hands main lose every letter outside the system's code page.
std::vector<std::string> CommandLineArguments(int, char**) {
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide != nullptr && i < count; ++i) {
        args.push_back(GamePathFromWide(wide[i], std::wcslen(wide[i])));
    }
    LocalFree(wide);
    return args;
}

bool ExecutablePath(std::string& path) {
    std::vector<wchar_t> executable(MAX_PATH);
    while (true) {
        DWORD length =
            GetModuleFileNameW(nullptr, executable.data(), static_cast<DWORD>(executable.size()));
        if (length == 0) {
            return false;
        }
        if (length < executable.size()) {
            path = GamePathFromWide(executable.data(), length);
            return !path.empty();
        }
        // A full buffer means a cut path: try again with a larger one, up to the longest path.
        if (executable.size() >= LongestPath) {
            return false;
        }
        executable.resize(executable.size() * 2);
    }
}

FILE* OpenFile(const std::string& path, const char* mode) {
    std::wstring widePath, wideMode;
    if (!WideFromUtf8(path, widePath) || !WideFromUtf8(mode, wideMode)) {
        errno = EINVAL;
        return nullptr;
    }
    FILE* file = _wfopen(widePath.c_str(), wideMode.c_str());
    // Windows refuses to open a folder as a file, and says only "permission denied".
    if (file == nullptr && errno == EACCES) {
        DWORD attributes = GetFileAttributesW(widePath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            errno = EISDIR;
        }
    }
    return file;
}

bool RegularFileSize(FILE* file, size_t& size) {
    struct _stat64 status;
    if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG ||
        status.st_size < 0) {
        return false;
    }
    size = static_cast<size_t>(status.st_size);
    return true;
}

PathKind KindOfPath(const std::string& path) {
    std::wstring wide;
    DWORD attributes =
        WideFromUtf8(path, wide) ? GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PathKind::Missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::Other;
}

std::string RealPath(const std::string& path) {
    std::wstring wide;
    if (!WideFromUtf8(path, wide)) {
        return "";
    }
    // Opening with backup semantics opens folders too; no access right is asked for.
    HANDLE handle =
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return "";
    }
    std::vector<wchar_t> real(LongestPath);
    DWORD length = GetFinalPathNameByHandleW(handle, real.data(), LongestPath,
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(handle);
    if (length == 0 || length >= LongestPath) {
        // Where the system cannot say, the full path of what exists stands in for it.
        length = GetFullPathNameW(wide.c_str(), LongestPath, real.data(), nullptr);
        if (length == 0 || length >= LongestPath) {
            return "";
        }
    }
    std::wstring text(real.data(), length);
    // The final path comes in the long form: \\?\C:\... or \\?\UNC\server\share\...
    if (text.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        text = L"\\\\" + text.substr(8);
    } else if (text.compare(0, 4, L"\\\\?\\") == 0) {
        text = text.substr(4);
    }
    return GamePathFromWide(text.data(), text.size());
}

int FolderRefusal(const std::string& folder) {
    // Who may make files where is a matter of the folder's access list, which only an attempt
    // answers truly: a hidden file that is gone again as soon as it is closed.
    std::wstring wide;
    if (!WideFromUtf8(folder, wide)) {
        return EINVAL;
    }
    wchar_t name[64];
    std::swprintf(name, 64, L"/.bc-write-test-%lu-%llu", GetCurrentProcessId(),
                  static_cast<unsigned long long>(GetTickCount64()));
    HANDLE probe = CreateFileW(
        (wide + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        // A name already taken still means the folder takes files.
        return error == ERROR_FILE_EXISTS ? 0 : ErrnoFromSystemError(error);
    }
    CloseHandle(probe);
    return 0;
}

bool InSystemProgramTree(const std::string& realFolder) {
    // Both program trees of a 64-bit Windows, as the links on the way to them lead.
    for (REFKNOWNFOLDERID id : {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX86}) {
        std::string tree = RealPath(KnownFolder(id));
        if (!tree.empty() && StartsWithIgnoringCase(realFolder + "/", tree + "/")) {
            return true;
        }
    }
    return false;
}

bool MakePrivateFolder(const std::string& folder, std::string& failure) {
    // A new folder takes the access list of the one it is made in: below the player's own
    // folders, that is the player's alone.
    std::wstring wide;
    if (!WideFromUtf8(folder, wide)) {
        failure = "cannot make the folder " + folder + ": the name is not valid UTF-8";
        return false;
    }
    if (CreateDirectoryW(wide.c_str(), nullptr)) {
        return true;
    }
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        return true;
    }
    failure = "cannot make the folder " + folder + ": " + SystemReason(error);
    return false;
}

// %APPDATA%, the player's roaming application data, or where Windows keeps it when the
// variable is unset or not an absolute path.
std::string PlayerConfigFolder() {
    std::string appData = EnvironmentPath(L"APPDATA");
    return IsAbsolute(appData) ? appData : KnownFolder(FOLDERID_RoamingAppData);
}

// Windows players read full paths.
std::string HomeFolderShownAsTilde() {
    return "";
}
