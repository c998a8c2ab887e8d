#pragma once
#include <string>

// Where the settings file lives. Beside the game, "config/bc.rep" below the asset root, while
// the player may write that folder: a build, or an install into a folder of the player's own.
// A system-wide install keeps one file per player instead, in the player's configuration
// folder; until a player's first save, the installed file stands in for it with its defaults.
struct SettingsLocation {
    std::string file;      // the file loaded and saved; empty when there is no asset root or no
                           // home folder to keep it in
    std::string defaults;  // read in place of file while file does not exist; empty beside the game
    bool perUser = false;  // file is the player's own, not the one beside the game
};

// Decides for the game at the current asset root (SetUpAssetRoot first). The settings code
// decides once per run; the kit asks to say where the game keeps its file.
SettingsLocation ChooseSettingsLocation();

// True when the game may keep its settings in configFolder itself: the folder exists, the
// player may make files in it, and it does not lie in the system's tree of installed programs
// (below /usr, below Program Files), judged by where the links on the way to it lead, not by the
// text of the path. That tree belongs to the package manager or the installer, so a system-wide
// install never writes into it, not even when root, whom no permission bits stop, plays.
bool SettingsFolderWritable(const std::string& configFolder);

// The per-user file in the player's configuration folder: on Linux
// $XDG_CONFIG_HOME/brindles-cataclysm/bc.rep, or ~/.config/brindles-cataclysm/bc.rep when the
// variable is unset or not an absolute path. Empty when no such folder is known.
std::string PerUserSettingsFile();

// The text with the player's home folder, where a path starts with it, written as "~", as a
// player reads paths: "~/.config/brindles-cataclysm".
std::string WithHomeAsTilde(const std::string& text);

// The folder itself when it exists, else the nearest folder above it that does.
std::string NearestExistingFolder(const std::string& folder);

// Makes the folders on the way to a per-user settings file that do not exist yet, each
// readable by the player alone. False, with the reason, when one cannot be made.
bool MakeSettingsFolders(const std::string& file, std::string& failure);
