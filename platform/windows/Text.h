#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

// The border between the game's paths (UTF-8, '/' between folders) and Windows' own (UTF-16,
// '\' between folders). Every Windows call the game makes goes through the wide-character API,
// so a folder may have any name a player can give it.

// The UTF-16 form of a UTF-8 text; false for a text that is not valid UTF-8.
bool WideFromUtf8(const std::string& text, std::wstring& wide);

// The UTF-8 form of a UTF-16 text; unpaired surrogates become U+FFFD.
std::string Utf8FromWide(const wchar_t* wide, size_t length);

// A path from Windows as the game writes it: UTF-8 with '/' between folders.
std::string GamePathFromWide(const wchar_t* wide, size_t length);

// Windows' own words for a failure it reported, without the full stop and line break it ends
// them with.
std::string SystemReason(DWORD error);

// The errno value nearest to a failure Windows reported, for callers that speak errno.
int ErrnoFromSystemError(DWORD error);
