#include "settings/Settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "settings/Repository.h"
#include "settings/SafeFileWrite.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsValues.h"

namespace {

constexpr char ScreenWidthKey[] = "ScreenWidth";
constexpr char ScreenHeightKey[] = "ScreenHeight";
constexpr char ColorDepthKey[] = "ColorDepth";
constexpr char BrightnessKey[] = "Brightness";
constexpr char GlslKey[] = "GLSL";
constexpr char SoundKey[] = "Sound";
constexpr char HighScoreKey[] = "HighScore";

constexpr char BadCopySuffix[] = ".bad";

enum class SettingsFileState { Missing, Unreadable, Undecodable, Read };

// The settings file of this run, chosen once for an asset root: at the load, and kept for
// every save after it, so that one run never reads one file and writes another.
SettingsLocation ChosenLocation;
std::string ChosenForAssetRoot;
bool Chosen = false;

const SettingsLocation& LocationInUse() {
    if (!Chosen || ChosenForAssetRoot != AssetRoot) {
        ChosenLocation = ChooseSettingsLocation();
        ChosenForAssetRoot = AssetRoot;
        Chosen = true;
    }
    return ChosenLocation;
}

// Reads a whole file and tells a missing file apart from one that is there but cannot be read.
SettingsFileState ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes,
                                std::string& failure) {
    bytes.clear();
    if (path.empty()) {
        return SettingsFileState::Missing;
    }
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        if (errno == ENOENT) {
            return SettingsFileState::Missing;
        }
        failure = "cannot read " + path + ": " + std::strerror(errno);
        return SettingsFileState::Unreadable;
    }
    errno = 0;
    bool read = ReadWholeStream(file, bytes);
    int error = errno;
    std::fclose(file);
    if (!read) {
        failure = "cannot read " + path + ": " + std::strerror(error != 0 ? error : EIO);
        return SettingsFileState::Unreadable;
    }
    return SettingsFileState::Read;
}

// Reads and decodes the settings file of this run into repository; bytes keep what was read.
// A per-user file that does not exist yet starts as a copy of the installed one; a copy that
// cannot be read or decoded counts as no file, since the installed defaults are not the
// player's to mend.
SettingsFileState ReadSettings(const SettingsLocation& location, Repository& repository,
                               std::vector<uint8_t>& bytes, std::string& failure) {
    SettingsFileState state = ReadWholeFile(location.file, bytes, failure);
    if (state == SettingsFileState::Missing && !location.defaults.empty()) {
        std::string ignored;
        if (ReadWholeFile(location.defaults, bytes, ignored) == SettingsFileState::Read &&
            repository.Decode(bytes.data(), bytes.size())) {
            return SettingsFileState::Read;
        }
        repository = Repository();
        bytes.clear();
        return SettingsFileState::Missing;
    }
    if (state == SettingsFileState::Read && !repository.Decode(bytes.data(), bytes.size())) {
        return SettingsFileState::Undecodable;
    }
    return state;
}

// Keeps the bytes of a settings file that could not be decoded beside it, for the player.
bool KeepBadCopy(const std::string& file, const std::vector<uint8_t>& bytes, std::string& failure) {
    return ReplaceFileSafely(file + BadCopySuffix, bytes.data(), bytes.size(), failure);
}

// The save proper; false with the reason when nothing was written.
bool WriteSettingsFile(std::string& failure) {
    const SettingsLocation& location = LocationInUse();
    if (location.file.empty()) {
        failure = "no folder to keep the settings in";
        return false;
    }
    std::vector<uint8_t> bytes;
    Repository repository;
    SettingsFileState state = ReadSettings(location, repository, bytes, failure);
    if (state == SettingsFileState::Unreadable) {
        return false;
    }
    if (state == SettingsFileState::Undecodable) {
        if (!bytes.empty() && !KeepBadCopy(location.file, bytes, failure)) {
            return false;
        }
        repository = Repository();
    }
    // Every key is written, added to the game section when the file lacks it, so that nothing
    // the player earned depends on what the file happened to hold.
    repository.SetOrAddInt(ScreenWidthKey, ScreenWidth);
    repository.SetOrAddInt(ScreenHeightKey, ScreenHeight);
    repository.SetOrAddInt(ColorDepthKey, ColorDepth);
    repository.SetOrAddInt(BrightnessKey, Brightness);
    repository.SetOrAddInt(GlslKey, GlslChoice ? 1 : 0);
    repository.SetOrAddInt(SoundKey, SoundEnabled ? 1 : 0);
    repository.SetOrAddInt(HighScoreKey, HighScore);
    if (location.perUser && !MakeSettingsFolders(location.file, failure)) {
        return false;
    }
    if (!repository.SaveFile(location.file)) {
        failure = repository.Failure();
        return false;
    }
    return true;
}

}  // namespace

std::vector<uint8_t> FreshSettingsFile(int32_t highScore) {
    struct Setting {
        const char* key;
        int32_t value;
    };
    const Setting fresh[] = {
        {ScreenWidthKey, 1024},    {ScreenHeightKey, 768}, {ColorDepthKey, 32},
        {BrightnessKey, 0},        {GlslKey, 1},           {SoundKey, 1},
        {HighScoreKey, highScore},
    };
    // Entries are written newest first: adding the keys from the last one keeps the file in
    // the order of the table.
    Repository repository;
    for (size_t i = std::size(fresh); i-- > 0;) {
        repository.SetOrAddInt(fresh[i].key, fresh[i].value);
    }
    return repository.Encode();
}

void LoadSettings() {
    if (!SetUpAssetRoot()) {
        return;
    }
    LoadSettingsFromAssetRoot();
}

void LoadSettingsFromAssetRoot() {
    HighScore = 0;
    Chosen = false;
    Repository repository;
    std::vector<uint8_t> bytes;
    std::string ignored;
    ReadSettings(LocationInUse(), repository, bytes, ignored);
    FileOpenHook = nullptr;

    ScreenWidth = 640;
    ScreenHeight = 480;
    ColorDepth = 16;
    int32_t glsl = 0;
    int32_t sound = 0;
    repository.GetInt(ScreenWidthKey, &ScreenWidth);
    repository.GetInt(ScreenHeightKey, &ScreenHeight);
    repository.GetInt(ColorDepthKey, &ColorDepth);
    repository.GetInt(BrightnessKey, &Brightness);
    repository.GetInt(GlslKey, &glsl);
    repository.GetInt(SoundKey, &sound);
    repository.GetInt(HighScoreKey, &HighScore);
    // Only exactly 1 switches a path on; any other stored value leaves it as it was.
    if (glsl == 1) {
        GlslEnabled = true;
    }
    GlslChoice = GlslEnabled;
    if (sound == 1) {
        SoundEnabled = true;
    }
}

void SaveSettings() {
    std::string failure;
    if (!WriteSettingsFile(failure)) {
        std::fprintf(stderr, "brindles-cataclysm: settings not saved: %s\n", failure.c_str());
    }
}
