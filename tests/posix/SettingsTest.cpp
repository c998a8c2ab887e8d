#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>
#include <vector>

#include "platform/System.h"
#include "platform/posix/FileReplace.h"
#include "settings/Repository.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsValues.h"
#include "tests/support/RepositoryBytes.h"
#include "tests/support/SettingsFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSystem.h"

using namespace RepositoryBytes;

namespace {

// The settings tests that need what POSIX systems have: the seam of the calls that replace a
// file (platform/posix/FileReplace.h), put back after each test, permission bits and symbolic
// links.
class SettingsOnPosix : public Settings {
protected:
    void TearDown() override {
        UseRealFileReplace();
        Settings::TearDown();
    }
};

// The player's own file below the private XDG_CONFIG_HOME of the fixture.
const std::string PlayersFolder = "home/.config/brindles-cataclysm";
const std::string PlayersFile = PlayersFolder + "/bc.rep";

int RefuseEveryFolder(const char*, int) {
    errno = EACCES;
    return -1;
}

}  // namespace

// Where the config folder really is decides: a game folder whose config folder leads below /usr,
// or to /usr itself, keeps its settings per player even though the folder takes files, as every
// folder does for root; one whose asset folder is a link to a folder elsewhere keeps its file
// beside the game.
TEST(SettingsLocation, AConfigFolderThatLeadsBelowUsrIsPerPlayerEvenWhenItTakesFiles) {
    TempFolder game;
    game.Write("base/config/bc.rep", {1});
    ScopedVariable configHome("XDG_CONFIG_HOME", "/players/ann/.config");
    const std::string own = "/players/ann/.config/brindles-cataclysm/bc.rep";
    FileReplace.access = [](const char*, int) { return 0; };
    for (const char* system : {"/usr/lib", "/usr"}) {
        SCOPED_TRACE(system);
        TempFolder linked;
        linked.Write("base/notes", {});
        ASSERT_EQ(symlink(system, (linked.Path() + "/base/config").c_str()), 0);
        EXPECT_EQ(ChooseFor(linked.Path() + "/brindles-cataclysm"),
                  (Chosen{own, linked.Path() + "/base/config/bc.rep", true}));
    }
    TempFolder elsewhere;
    ASSERT_EQ(symlink((game.Path() + "/base").c_str(), (elsewhere.Path() + "/base").c_str()), 0);
    EXPECT_EQ(ChooseFor(elsewhere.Path() + "/brindles-cataclysm"),
              (Chosen{elsewhere.Path() + "/base/config/bc.rep", "", false}));
    UseRealFileReplace();
}

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config, the home folder from $HOME or,
// when that is unset or relative, from the password database.
TEST(SettingsLocation, ThePlayersOwnFileFollowsXdgConfigHomeThenTheHomeFolder) {
    ScopedVariable configHome("XDG_CONFIG_HOME", "/x/config");
    ScopedVariable home("HOME", "/players/bo");
    EXPECT_EQ(PerUserSettingsFile(), "/x/config/brindles-cataclysm/bc.rep");
    for (const char* unusable : {"relative/config", "", static_cast<const char*>(nullptr)}) {
        configHome.Set(unusable);
        EXPECT_EQ(PerUserSettingsFile(), "/players/bo/.config/brindles-cataclysm/bc.rep");
    }
    const passwd* entry = getpwuid(getuid());
    ASSERT_NE(entry, nullptr);
    for (const char* unusable : {"relative/home", static_cast<const char*>(nullptr)}) {
        home.Set(unusable);
        EXPECT_EQ(PerUserSettingsFile(),
                  std::string(entry->pw_dir) + "/.config/brindles-cataclysm/bc.rep");
    }
}

// Paths that start with the home folder read "~" for it; a folder that merely starts with the
// same letters, or the home folder in the middle of a path, stays as it is.
TEST(SettingsLocation, PathsInTheHomeFolderAreWrittenWithATilde) {
    ScopedVariable home("HOME", "/players/bo/");
    EXPECT_EQ(WithHomeAsTilde("/players/bo/.config/x is not a folder"),
              "~/.config/x is not a folder");
    EXPECT_EQ(WithHomeAsTilde("cannot make folders in /players/bo: Permission denied"),
              "cannot make folders in ~: Permission denied");
    EXPECT_EQ(WithHomeAsTilde("/players/bob/x and /mnt/players/bo/y"),
              "/players/bob/x and /mnt/players/bo/y");
    home.Set("/");
    EXPECT_EQ(WithHomeAsTilde("/etc/x"), "/etc/x") << "a home folder of / is left alone";
}

// A save replaces the file with a new one that keeps the old one's permissions.
TEST_F(SettingsOnPosix, ASaveKeepsThePermissionsOfTheFileItReplaces) {
    folder.Write(SettingsPath, AllSeven(1, 0));
    const std::string path = folder.Path() + "/" + SettingsPath;
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    Load();
    HighScore = 20;
    EXPECT_EQ(Save(), "");
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(SettingsOnPosix, ASaveCutOffBeforeTheRenameLeavesTheOldFile) {
    folder.Write(SettingsPath, AllSeven(1, 1));
    HighScore = 99999;
    // The program dies after the new contents are on disk and before they replace the file.
    EXPECT_EXIT(
        {
            FileReplace.rename = [](const char*, const char*) -> int { _exit(3); };
            SaveSettings();
        },
        testing::ExitedWithCode(3), "");
    EXPECT_EQ(folder.Read(SettingsPath), AllSeven(1, 1));
    Names left = ConfigFiles();
    ASSERT_EQ(left.size(), 3u) << "the killed save leaves its temporary file";
    const std::string& abandoned = left[1];
    ASSERT_EQ(abandoned.rfind("bc.rep.tmp-", 0), 0u) << abandoned;

    // Once it is old, the next save removes it; a young one (a save under way in another copy
    // of the game) and files that merely look alike stay.
    std::string config = folder.Path() + "/base/config/";
    const timespec twoMinutesAgo[2] = {{time(nullptr) - 120, 0}, {time(nullptr) - 120, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (config + abandoned).c_str(), twoMinutesAgo, 0), 0);
    for (const char* name : {"bc.rep.tmp-young1", "bc.rep.tmp-notes.txt", "xbc.rep.tmp-abcdef"}) {
        folder.Write("base/config/" + std::string(name), {1});
    }
    ASSERT_EQ(utimensat(AT_FDCWD, (config + "bc.rep.tmp-notes.txt").c_str(), twoMinutesAgo, 0), 0);
    EXPECT_EQ(Save(), "") << "the next save goes through";
    EXPECT_EQ(Saved().back(), 99999);
    EXPECT_EQ(ConfigFiles(), (Names{"bc.rep", "bc.rep.tmp-notes.txt", "bc.rep.tmp-young1", "other",
                                    "xbc.rep.tmp-abcdef"}));
}

// A system-wide install: the game folder refuses the player, so the player's own file takes
// over, starting from the installed values. While it cannot be read (here a file stands where
// its folder should be) the game plays with those, never replaces it, and keeps the reason for
// the main menu, the home folder written as "~"; once the way is clear a save makes the file and
// the reason is gone. The own file then behaves as the one beside the game does, bad copy
// included; installed defaults that do not decode are no file at all. (That the folders it makes
// are the player's alone, tests/e2e/test_package.sh sees.)
TEST_F(SettingsOnPosix, AGameFolderThePlayerCannotWriteGivesThePlayerAnOwnFileFromTheInstalledOne) {
    ScopedVariable home("HOME", (folder.Path() + "/home").c_str());
    folder.Write(SettingsPath, AllSeven(1, 0));
    folder.Write(PlayersFolder, {7});
    FileReplace.access = RefuseEveryFolder;
    Load();
    UseRealFileReplace();  // the game folder takes files now, but this run chose the player's
    EXPECT_EQ((Numbers{ScreenWidth, ScreenHeight, ColorDepth, Brightness, HighScore}),
              (Numbers{1280, 1024, 24, 1, 31337}));
    EXPECT_TRUE(GlslEnabled && GlslChoice && !SoundEnabled);
    const std::string reason = "~/.config/brindles-cataclysm is not a folder";
    EXPECT_EQ(SettingsNotSavedReason(), reason) << "known before any save";
    EXPECT_EQ(Save(), "brindles-cataclysm: settings not saved: cannot read " + folder.Path() + "/" +
                          PlayersFile + ": Not a directory\n");
    EXPECT_EQ(SettingsNotSavedReason(), reason);
    EXPECT_EQ(folder.Read(PlayersFolder), Bytes{7}) << "what is in the way is left alone";

    folder.Remove(PlayersFolder);
    ScreenWidth = 1920;
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(SettingsNotSavedReason(), "");
    EXPECT_EQ(Saved(PlayersFile), (Numbers{1920, 1024, 24, 1, 1, 0, 31337}));
    EXPECT_EQ(folder.Read(SettingsPath), AllSeven(1, 0)) << "the installed file is never written";

    FileReplace.access = RefuseEveryFolder;
    Load();
    EXPECT_EQ(ScreenWidth, 1920) << "the next run reads the player's file";
    folder.Write(PlayersFile, CutShort());
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(folder.List(PlayersFolder), (Names{"bc.rep", "bc.rep.bad"}));
    EXPECT_EQ(folder.Read(PlayersFile + ".bad"), CutShort());

    folder.Remove(PlayersFolder);
    folder.Write(SettingsPath, CutShort());
    Load();
    EXPECT_EQ(ScreenWidth, 640);
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(folder.List(PlayersFolder), (Names{"bc.rep"}));
}

// A player who keeps the file in a synced folder links it there: the save goes through the
// link into the target, atomically beside it, and the link stays.
TEST_F(SettingsOnPosix, ASettingsFileThatIsALinkIsSavedIntoItsTargetAndStaysALink) {
    const std::string link = folder.Path() + "/" + SettingsPath;
    struct Case {
        const char* name;
        std::string target;      // as the link holds it
        std::string targetFile;  // below the test folder
    };
    const Case cases[] = {
        {"relative, to a file", "../../synced/bc.rep", "synced/bc.rep"},
        {"absolute, to no file yet", folder.Path() + "/fresh/bc.rep", "fresh/bc.rep"},
    };
    folder.Write("synced/bc.rep", AllSeven(1, 1));
    folder.Write("fresh/notes", {});
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        unlink(link.c_str());
        ASSERT_EQ(symlink(test.target.c_str(), link.c_str()), 0);
        Load();
        HighScore = 777;
        EXPECT_EQ(Save(), "");
        char held[4096] = {};
        ASSERT_GT(readlink(link.c_str(), held, sizeof held - 1), 0) << "still a link";
        EXPECT_EQ(held, test.target);
        EXPECT_EQ(Saved(test.targetFile).back(), 777);
        EXPECT_EQ(ConfigFiles(), (Names{"bc.rep", "other"}));
    }
    EXPECT_EQ(Saved("synced/bc.rep")[0], 1280) << "the other values stay";
}

// The kit's reset replaces the file without loading it first: it follows 40 links in a row, as
// the system does, and a 41st stops it with the system's reason. (Loading and saving through such
// chains are left to tests/faults.)
TEST_F(SettingsOnPosix, AReplacementFollowsFortyLinksInARowAndNoMore) {
    folder.Write("chain/bc.rep", AllSeven(1, 1));
    const std::string chain = folder.Path() + "/chain/";
    for (int i = 1; i <= 41; ++i) {  // link1 leads to bc.rep, each further link to the one before
        const std::string next = i == 1 ? "bc.rep" : "link" + std::to_string(i - 1);
        ASSERT_EQ(symlink(next.c_str(), (chain + "link" + std::to_string(i)).c_str()), 0);
    }
    const Bytes fresh = FreshSettingsFile(0);
    std::string failure;
    EXPECT_FALSE(ReplaceFileSafely(chain + "link41", fresh.data(), fresh.size(), failure));
    EXPECT_NE(failure.find("Too many levels of symbolic links"), std::string::npos) << failure;
    EXPECT_EQ(folder.Read("chain/bc.rep"), AllSeven(1, 1));
    EXPECT_TRUE(ReplaceFileSafely(chain + "link40", fresh.data(), fresh.size(), failure));
    EXPECT_EQ(folder.Read("chain/bc.rep"), fresh);
}

// A folder that takes no files is named before any save is tried; and a save that fails for a
// reason no look beforehand finds names the reason it met.
TEST_F(SettingsOnPosix, WhatStopsASaveIsNamedBeforehandAndAfterAFailedSave) {
    static std::string refused;  // the folder the fake access refuses, with the errno below
    static int refusal = 0;
    FileReplace.access = [](const char* path, int) {
        if (path == refused) {
            errno = refusal;
            return -1;
        }
        return 0;
    };
    const std::string root = folder.Path();
    folder.Write("shelf/notes", {});
    refused = root + "/shelf";
    refusal = EROFS;
    EXPECT_EQ(SettingsSaveProblem(SettingsLocation{root + "/shelf/other.rep", "", true}),
              "cannot make files in " + root + "/shelf: Read-only file system");

    // A disk that fills up during the save: nothing showed beforehand.
    folder.Write(SettingsPath, AllSeven(1, 1));
    refused.clear();
    Load();
    EXPECT_EQ(SettingsNotSavedReason(), "");
    FileReplace.write = [](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    Save();
    std::string reason = SettingsNotSavedReason();
    EXPECT_EQ(reason.rfind("cannot write " + root + "/" + SettingsPath + ".tmp-", 0), 0u) << reason;
    EXPECT_NE(reason.find(": No space left on device"), std::string::npos) << reason;
}
