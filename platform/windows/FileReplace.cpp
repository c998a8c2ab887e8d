// Settings saved on Windows: written beside the file, flushed, then moved over it in one step.
// A plain rename over an existing file fails on Windows; MoveFileExW replaces it.
#include <cstdint>
#include <string>

#include "platform/System.h"
#include "platform/windows/Text.h"

namespace {

// The temporary file of a save is the file's name, ".tmp-" and six letters or digits.
constexpr wchar_t TemporarySuffix[] = L".tmp-";
constexpr size_t TemporaryNameLength = 6;

// A temporary file younger than this may belong to a save still under way in another copy of
// the game; an older one was left by a save that was killed before its move.
constexpr uint64_t AbandonedTemporaryAge = 60ull * 10'000'000;  // in 100 ns, as FILETIME counts

// Six letters and digits that differ between saves and between copies of the game.
std::wstring TemporaryName(uint32_t attempt) {
    static uint64_t saves = 0;
    uint64_t mixed = (static_cast<uint64_t>(GetCurrentProcessId()) << 32) ^ GetTickCount64() ^
                     (++saves * 0x9E3779B97F4A7C15ull) ^ attempt;
    mixed ^= mixed >> 29;
    mixed *= 0xBF58476D1CE4E5B9ull;
    mixed ^= mixed >> 32;
    constexpr wchar_t Letters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring name;
    for (size_t i = 0; i < TemporaryNameLength; ++i) {
        name += Letters[mixed % 36];
        mixed /= 36;
    }
    return name;
}

uint64_t FileTimeValue(const FILETIME& time) {
    return static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// Writes every byte, in pieces WriteFile takes.
bool WriteAll(HANDLE file, const uint8_t* bytes, size_t size) {
    while (size > 0) {
        DWORD piece = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, piece, &written, nullptr)) {
            return false;
        }
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

// Removes the temporary files that killed saves of path left beside it.
void RemoveAbandonedTemporaries(const std::wstring& path) {
    size_t slash = path.find_last_of(L"/\\");
    std::wstring folder = slash == std::wstring::npos ? L"" : path.substr(0, slash + 1);
    size_t nameLength = path.size() - folder.size() + (sizeof TemporarySuffix / sizeof(wchar_t)) -
                        1 + TemporaryNameLength;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    WIN32_FIND_DATAW entry;
    HANDLE listing = FindFirstFileW((path + TemporarySuffix + L"*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if (std::wstring(entry.cFileName).size() == nameLength &&
            (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
                0 &&
            FileTimeValue(entry.ftLastWriteTime) + AbandonedTemporaryAge < FileTimeValue(now)) {
            DeleteFileW((folder + entry.cFileName).c_str());
        }
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
}

}  // namespace

bool ReplaceFileSafely(const std::string& linkOrFile, const uint8_t* bytes, size_t size,
                       std::string& failure) {
    std::string path = linkOrFile;
    std::wstring target;
    // A symbolic link is replaced at the file it leads to, and stays as it was.
    std::wstring wideLink;
    if (WideFromUtf8(linkOrFile, wideLink)) {
        DWORD attributes = GetFileAttributesW(wideLink.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            std::string real = RealPath(linkOrFile);
            if (!real.empty()) {
                path = real;
            }
        }
    }
    if (!WideFromUtf8(path, target)) {
        failure = "cannot replace " + path + ": the name is not valid UTF-8";
        return false;
    }

    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    for (uint32_t attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
        temporary = target + TemporarySuffix + TemporaryName(attempt);
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        error = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    }
    if (file == INVALID_HANDLE_VALUE) {
        failure = "cannot create a file beside " + path + ": " + SystemReason(error);
        return false;
    }
    bool written = WriteAll(file, bytes, size) && FlushFileBuffers(file);
    error = GetLastError();
    if (!CloseHandle(file) && written) {
        written = false;
        error = GetLastError();
    }
    std::string temporaryText = Utf8FromWide(temporary.data(), temporary.size());
    if (!written) {
        DeleteFileW(temporary.c_str());
        failure = "cannot write " + temporaryText + ": " + SystemReason(error);
        return false;
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        DeleteFileW(temporary.c_str());
        failure = "cannot replace " + path + ": " + SystemReason(error);
        return false;
    }
    RemoveAbandonedTemporaries(target);
    return true;
}
