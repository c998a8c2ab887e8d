#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <string>
#include <tuple>

#include "app/AssetFiles.h"
#include "settings/SafeFileWrite.h"
#include "settings/SettingsLocation.h"
#include "tests/support/ScopedVariable.h"
#include "tests/support/TempFolder.h"

namespace {

using Chosen = std::tuple<std::string, std::string, bool>;  // file, defaults, per user

Chosen ChooseFor(const std::string& executable) {
    EXPECT_TRUE(SetUpAssetRootFrom(executable.c_str()));
    SettingsLocation location = ChooseSettingsLocation();
    FileOpenHook = nullptr;
    return {location.file, location.defaults, location.perUser};
}

}  // namespace

// Beside the game while its config folder exists and takes files; the player's own file for a
// missing folder, and for any folder below /usr, even one that takes files, as it does for root.
// (A folder that refuses files is the Settings tests' system-wide install.)
TEST(SettingsLocation, TheFileBesideTheGameUnlessItsFolderIsMissingOrBelowUsr) {
    TempFolder game;
    ScopedVariable configHome("XDG_CONFIG_HOME", "/players/ann/.config");
    const std::string own = "/players/ann/.config/brindles-cataclysm/bc.rep";
    const std::string beside = game.Path() + "/base/config/bc.rep";
    const std::string executable = game.Path() + "/brindles-cataclysm";

    EXPECT_EQ(ChooseFor(executable), (Chosen{own, beside, true})) << "no config folder";
    game.Write("base/config/bc.rep", {1});
    EXPECT_EQ(ChooseFor(executable), (Chosen{beside, "", false}));

    // Where the config folder really is decides: a game folder elsewhere whose config folder
    // leads below /usr, or to /usr itself, is below /usr; one whose asset folder is a link to a
    // folder elsewhere keeps its file beside the game.
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
