#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "settings/SettingsLocation.h"

// Loading and saving of the settings values and the high score, which live in the game section
// of the settings file: "config/bc.rep" below the asset root, or the player's own file when the
// game cannot write there (see SettingsLocation.h).

// The first step of start-up: builds the asset root, reads the settings file into the settings
// values (defaults for whatever it lacks) and clears the file-open hook again. When the asset
// root cannot be built nothing changes.
void LoadSettings();

// LoadSettings without building the asset root: chooses the settings file for the current root
// and reads it. Tests point the root at a folder of their own and call this.
void LoadSettingsFromAssetRoot();

// Writes the settings values and the high score back into the settings file that the load
// chose, after the options menu is left by OK and at shutdown. The file is replaced as a whole
// or not at all; what it held besides the seven values is kept. A file that could not be
// decoded is first kept beside as "bc.rep.bad" and then replaced by a complete one. A player's
// own file is made, with its folders, at the first save. A save that fails prints one line on
// stderr.
void SaveSettings();

// What would stop a save into location, judged without writing anything, with full paths; empty
// when nothing is in the way. "X is not a folder" for a file where a folder on the way should
// be, "X is a folder" for a folder in the file's place, "cannot read X: reason" for a file that
// is there but cannot be read otherwise, "cannot make files in X: reason" for the file's folder
// and "cannot make folders in X: reason" for the nearest folder above a missing one that refuse
// new files, and "no folder to keep the settings in" without a home folder.
std::string SettingsSaveProblem(const SettingsLocation& location);

// Why this run's settings are not being saved, in one line for the player, the home folder
// written as "~": what the load found in the way of the file, then, after a save that failed,
// what it met. Empty while nothing stands in the way, and again after a save that succeeded.
std::string SettingsNotSavedReason();

// The settings file a fresh install starts with: 1024 x 768 at 32 bits, full brightness, the
// shader path and sound on, and the given high score, the keys in that order. The forge writes
// it into a new build, and `cataclysm-kit rep reset` and the installer put it back.
std::vector<uint8_t> FreshSettingsFile(int32_t highScore);
