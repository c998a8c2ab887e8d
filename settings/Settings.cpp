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

enum class SettingsFileState { Missing, Unreadable, Read };

// Reads the whole settings file through the file opener and tells a missing file apart from
// one that is there but cannot be read.
SettingsFileState ReadSettingsFile(std::vector<uint8_t>& bytes, std::string& failure) {
    FILE* file = nullptr;
    errno = 0;
    FileOpenHook(SettingsFileName, "rb", &file);
    if (file == nullptr) {
        if (errno == ENOENT) {
            return SettingsFileState::Missing;
        }
        failure = std::string("cannot read ") + SettingsFileName + ": " +
                  (errno != 0 ? std::strerror(errno) : "it does not open");
        return SettingsFileState::Unreadable;
    }
    bool read = ReadWholeStream(file, bytes);
    std::fclose(file);
    if (!read) {
        failure = std::string("cannot read ") + SettingsFileName;
        return SettingsFileState::Unreadable;
    }
    return SettingsFileState::Read;
}

// Keeps the bytes of a settings file that could not be decoded beside it, for the player.
bool KeepBadCopy(const std::vector<uint8_t>& bytes, std::string& failure) {
    char path[AssetPathCapacity];
    std::string name = std::string(SettingsFileName) + BadCopySuffix;
    if (!BuildAssetPath(name.c_str(), path)) {
        failure = "the path of " + name + " is too long";
        return false;
    }
    return ReplaceFileSafely(path, bytes.data(), bytes.size(), failure);
}

// The save proper; false with the reason when nothing was written.
bool WriteSettingsFile(std::string& failure) {
    if (FileOpenHook == nullptr) {
        failure = "no asset folder to save into";
        return false;
    }
    std::vector<uint8_t> bytes;
    SettingsFileState state = ReadSettingsFile(bytes, failure);
    if (state == SettingsFileState::Unreadable) {
        return false;
    }
    Repository repository;
    if (state == SettingsFileState::Read && !repository.Decode(bytes.data(), bytes.size())) {
        if (!bytes.empty() && !KeepBadCopy(bytes, failure)) {
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
    if (!repository.Save()) {
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
    Repository repository;
    repository.Load();
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
