// The tests' system calls on Windows. <windows.h> comes first, through the platform's text
// border, so that the C++ library's own NOMINMAX is the one that stands.
#include "platform/windows/Text.h"

#include <io.h>
#include <stdlib.h>

#include "tests/support/TestSystem.h"

namespace {

// The C runtime's check of the descriptors it is handed, silenced while free ones are counted.
void IgnoreBadDescriptor(const wchar_t*, const wchar_t*, const wchar_t*, unsigned int, uintptr_t) {}

}  // namespace

std::optional<std::string> ReadEnvironment(const char* name) {
    std::wstring wideName;
    if (!WideFromUtf8(name, wideName)) {
        return std::nullopt;
    }
    DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    return Utf8FromWide(value.data(), length < size ? length : 0);
}

// The game reads the process's environment (GetEnvironmentVariableW); OpenAL Soft and other C
// code read the C runtime's copy of it (_wgetenv), which SetEnvironmentVariableW leaves alone.
// An empty value unsets the variable in the runtime's copy, so it is set there first.
void WriteEnvironment(const char* name, const char* value) {
    std::wstring wideName, wideValue;
    if (!WideFromUtf8(name, wideName)) {
        return;
    }
    const bool set = value != nullptr && WideFromUtf8(value, wideValue);
    _wputenv_s(wideName.c_str(), set ? wideValue.c_str() : L"");
    SetEnvironmentVariableW(wideName.c_str(), set ? wideValue.c_str() : nullptr);
}

const char* const PlayerConfigVariable = "APPDATA";

void RequestQuit(QuitFrom) {
    WindowCloseRequested();
}

const bool WindowCloseIsAQuitRequest = true;

// The game opens its files as C streams, so the descriptors of the C runtime that are in use:
// a free one has no system handle.
int OpenFileCount() {
    _invalid_parameter_handler previous = _set_invalid_parameter_handler(IgnoreBadDescriptor);
    int count = 0;
    for (int descriptor = 0; descriptor < _getmaxstdio(); ++descriptor) {
        count += _get_osfhandle(descriptor) != -1 ? 1 : 0;
    }
    _set_invalid_parameter_handler(previous);
    return count;
}
