// The Windows side of the platform room, run under Wine: paths of any name, the file replace that
// a plain rename cannot do there, Program Files and %APPDATA%, and the session's end.
#include "platform/windows/SessionEnd.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "platform/System.h"
#include "settings/SettingsLocation.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSystem.h"

namespace {

// A folder name with spaces, apostrophes, accents, a dash and letters far beyond ASCII.
const std::string UnusualName =
    "Jeux d'\xC3\xA9t\xC3\xA9 \xE2\x80\x93 Brindle's \xE5\xBD\x97\xE6\x98\x9F";

std::vector<uint8_t> ReadWhole(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = OpenFile(path, "rb");
    if (file != nullptr) {
        ReadWholeStream(file, bytes);
        std::fclose(file);
    }
    return bytes;
}

bool Replace(const std::string& path, const std::vector<uint8_t>& bytes, std::string& failure) {
    return ReplaceFileSafely(path, bytes.data(), bytes.size(), failure);
}

// Sets a file's last write to minutes ago.
void Age(const std::string& path, int minutes) {
    std::wstring wide;
    ASSERT_TRUE(WideFromUtf8(path, wide));
    HANDLE file = CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
    time.QuadPart -= static_cast<ULONGLONG>(minutes) * 60 * 10'000'000;
    FILETIME old{time.LowPart, time.HighPart};
    SetFileTime(file, nullptr, nullptr, &old);
    CloseHandle(file);
}

}  // namespace

TEST(WindowsPaths, TheGameRunsFromAFolderOfAnyNameAndSavesThereOverItsOldFile) {
    std::string executable;
    ASSERT_TRUE(ExecutablePath(executable));
    EXPECT_EQ(executable.find('\\'), std::string::npos) << executable;
    EXPECT_EQ(executable.substr(executable.size() - 20), "/cataclysm-tests.exe");
    EXPECT_EQ(FolderOf("C:/brindles-cataclysm.exe"), "C:/");

    TempFolder temp;
    const std::string folder = temp.Path() + "/" + UnusualName;
    std::string failure;
    ASSERT_TRUE(MakePrivateFolder(folder, failure)) << failure;
    EXPECT_EQ(KindOfPath(folder), PathKind::Folder);
    ASSERT_TRUE(SetUpAssetRootFrom((folder + "/brindles-cataclysm.exe").c_str()));
    EXPECT_EQ(std::string(AssetRoot), folder + "/base/");

    const std::string file = folder + "/bc.rep";
    EXPECT_EQ(KindOfPath(file), PathKind::Missing);
    ASSERT_TRUE(Replace(file, {1, 2, 3}, failure)) << failure;
    EXPECT_EQ(KindOfPath(file), PathKind::Other);
    // Where a plain rename over an existing file fails.
    ASSERT_TRUE(Replace(file, {4, 5}, failure)) << failure;
    EXPECT_EQ(ReadWhole(file), (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(temp.List(UnusualName), std::vector<std::string>{"bc.rep"});
    std::string real = RealPath(file);
    EXPECT_EQ(real.substr(real.size() - UnusualName.size() - 7), UnusualName + "/bc.rep");
    EXPECT_EQ(real[1], ':') << real;

    errno = 0;
    EXPECT_EQ(OpenFile(folder, "rb"), nullptr);
    EXPECT_EQ(errno, EISDIR) << "a folder opened as a file is named as one";
    EXPECT_EQ(OpenFile(folder + "/missing", "rb"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(OpenFile(std::string("bad \xC3("), "rb"), nullptr) << "not UTF-8";
}

// A save that cannot go through leaves whatever was there and no file of its own; the temporary
// files of killed saves are removed once they are a minute old, and only those.
TEST(WindowsFileReplace, AFailedSaveLeavesNoTraceAndOldTemporariesOfKilledSavesGo) {
    TempFolder temp;
    temp.Write("config/bc.rep/inside", {7});
    std::string failure;
    EXPECT_FALSE(Replace(temp.Path() + "/config/bc.rep", {1}, failure));
    EXPECT_EQ(failure.rfind("cannot replace " + temp.Path() + "/config/bc.rep: ", 0), 0u)
        << failure;
    EXPECT_EQ(temp.List("config"), std::vector<std::string>{"bc.rep"});
    EXPECT_EQ(temp.Read("config/bc.rep/inside"), std::vector<uint8_t>{7});
    EXPECT_FALSE(Replace(temp.Path() + "/missing/bc.rep", {1}, failure));
    EXPECT_EQ(failure.rfind("cannot create a file beside ", 0), 0u) << failure;

    const std::string folder = temp.Path() + "/saves";
    for (const char* name : {"bc.rep.tmp-abc123", "bc.rep.tmp-def456", "bc.rep.tmp-toolong1",
                             "other.rep.tmp-ghi789"}) {
        temp.Write(std::string("saves/") + name, {9});
    }
    Age(folder + "/bc.rep.tmp-abc123", 2);
    Age(folder + "/bc.rep.tmp-toolong1", 2);
    Age(folder + "/other.rep.tmp-ghi789", 2);
    ASSERT_TRUE(Replace(folder + "/bc.rep", {1}, failure)) << failure;
    EXPECT_EQ(temp.List("saves"),
              (std::vector<std::string>{"bc.rep", "bc.rep.tmp-def456", "bc.rep.tmp-toolong1",
                                        "other.rep.tmp-ghi789"}));
}

// Installed below Program Files the game keeps each player's settings in %APPDATA%, starting
// from the installed file; unzipped anywhere else, beside itself.
TEST(WindowsFolders, ProgramFilesIsTheSystemTreeAndAppDataHoldsThePlayersOwnFile) {
    EXPECT_TRUE(InSystemProgramTree("C:/Program Files/Brindle's Cataclysm/base/config"));
    EXPECT_TRUE(InSystemProgramTree("c:/PROGRAM FILES/Brindle's Cataclysm"));
    EXPECT_TRUE(InSystemProgramTree("C:/Program Files (x86)/Game"));
    EXPECT_TRUE(InSystemProgramTree("C:/Program Files"));
    EXPECT_FALSE(InSystemProgramTree("C:/Program Files Old/Game"));
    EXPECT_FALSE(InSystemProgramTree("C:/Games/Brindle's Cataclysm"));

    {
        PlayerConfigFolderAt appData("C:/users/ann/AppData/Roaming");
        EXPECT_EQ(PerUserSettingsFile(), "C:/users/ann/AppData/Roaming/Brindle's Cataclysm/bc.rep");
    }
    {
        PlayerConfigFolderAt relative("Roaming");
        const std::string known = PlayerConfigFolder();
        EXPECT_EQ(known.substr(1, 2), ":/") << "Windows' own folder, not a relative one: " << known;
    }

    TempFolder players;
    PlayerConfigFolderAt appData(players.Path());
    const std::string installed =
        "C:/Program Files/cataclysm-test-" + std::to_string(GetCurrentProcessId());
    std::string failure;
    ASSERT_TRUE(MakePrivateFolder(installed, failure)) << failure;
    ASSERT_TRUE(MakeSettingsFolders(installed + "/base/config/bc.rep", failure)) << failure;
    ASSERT_TRUE(SetUpAssetRootFrom((installed + "/brindles-cataclysm.exe").c_str()));
    SettingsLocation location = ChooseSettingsLocation();
    EXPECT_TRUE(location.perUser);
    EXPECT_EQ(location.file, players.Path() + "/Brindle's Cataclysm/bc.rep");
    EXPECT_EQ(location.defaults, installed + "/base/config/bc.rep");
    // The players' folders are made from the nearest one that exists.
    ASSERT_TRUE(MakeSettingsFolders(location.file, failure)) << failure;
    EXPECT_EQ(KindOfPath(players.Path() + "/Brindle's Cataclysm"), PathKind::Folder);
    for (const char* folder : {"/base/config", "/base", ""}) {
        std::wstring wide;
        ASSERT_TRUE(WideFromUtf8(installed + folder, wide));
        RemoveDirectoryW(wide.c_str());
    }

    ASSERT_TRUE(SetUpAssetRootFrom((players.Path() + "/game/brindles-cataclysm.exe").c_str()));
    players.Write("game/base/config/bc.rep", {1});
    location = ChooseSettingsLocation();
    EXPECT_FALSE(location.perUser);
    EXPECT_EQ(location.file, players.Path() + "/game/base/config/bc.rep");
    EXPECT_EQ(FolderRefusal(players.Path() + "/game/base/config"), 0);
    EXPECT_EQ(players.List("game/base/config"), std::vector<std::string>{"bc.rep"})
        << "the look whether the folder takes files leaves nothing behind";
    EXPECT_EQ(FolderRefusal(players.Path() + "/missing"), ENOENT);
}

namespace {

std::vector<UINT> OwnMessages;
std::vector<std::string> SessionEndCalls;

LRESULT CALLBACK OwnProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    OwnMessages.push_back(message);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

// WM_ENDSESSION saves and ends the game, once, inside the message; a session's end that is only
// asked about, or called off, does nothing; every other message reaches the window's own
// procedure, which is back in place afterwards.
TEST(WindowsSessionEnd, TheSessionsEndSavesThenEndsOnceAndEverythingElsePassesOn) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = OwnProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"cataclysm-session-end-test";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    ClearQuitRequest();
    OwnMessages.clear();
    SessionEndCalls.clear();
    ASSERT_TRUE(WatchSessionEnd(
        window,
        [] { SessionEndCalls.push_back(QuitRequested() ? "save, quit requested" : "save"); },
        [] { SessionEndCalls.push_back("end"); }));

    SendMessageW(window, WM_USER + 1, 0, 0);
    EXPECT_EQ(OwnMessages, std::vector<UINT>{WM_USER + 1});
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(window, WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(SessionEndCalls.empty());
    EXPECT_FALSE(QuitRequested()) << "a session's end called off goes on playing";
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(SessionEndCalls, (std::vector<std::string>{"save, quit requested", "end"}));
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(OwnMessages, std::vector<UINT>{WM_USER + 1}) << "the session's messages stop here";

    StopWatchingSessionEnd();
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(OwnProcedure));
    DestroyWindow(window);
    ClearQuitRequest();
}
