#include "settings/Settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "platform/System.h"
#include "settings/Repository.h"
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
constexpr char NoFolderFailure[] = "no folder to keep the settings in";

enum class SettingsFileState { Missing, Unreadable, Undecodable, Read };

// The settings file of this run, chosen once for an asset root: at the load, and kept for
// every save after it, so that one run never reads one file and writes another.
SettingsLocation ChosenLocation;
std::string ChosenForAssetRoot;
bool Chosen = false;
// Why this run's settings are not being saved, with full paths; empty while nothing is known
// to stand in the way.
std::string NotSavedReason;

const SettingsLocation& LocationInUse() {
    if (!Chosen || ChosenForAssetRoot != AssetRoot) {
        ChosenLocation = ChooseSettingsLocation();
        ChosenForAssetRoot = AssetRoot;
        Chosen = true;
    }
    return ChosenLocation;
}

// Reads a whole file and tells a missing file apart from one that is there but cannot be read,
// whose reason goes to failure and, as an errno value, to error.
SettingsFileState ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes,
                                std::string& failure, int& error) {
    bytes.clear();
    if (path.empty()) {
        return SettingsFileState::Missing;
    }
    FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        if (errno == ENOENT) {
            return SettingsFileState::Missing;
        }
        error = errno;
        failure = "cannot read " + path + ": " + std::strerror(error);
        return SettingsFileState::Unreadable;
    }
    errno = 0;
    bool read = ReadWholeStream(file, bytes);
    error = errno != 0 ? errno : EIO;
    std::fclose(file);
    if (!read) {
        failure = "cannot read " + path + ": " + std::strerror(error);
        return SettingsFileState::Unreadable;
    }
    return SettingsFileState::Read;
}

SettingsFileState ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes,
                                std::string& failure) {
    int error = 0;
    return ReadWholeFile(path, bytes, failure, error);
}

// Reads and decodes the settings file of this run into repository; bytes keep what was read.
// A per-user file that does not exist yet, or that cannot be read, starts as a copy of the
// installed one, so that the player still plays with its defaults; the state stays Unreadable
// for the latter, so that no save replaces a file it never read. An installed copy that cannot
// be read or decoded counts as no file, since the installed defaults are not the player's to
// mend.
SettingsFileState ReadSettings(const SettingsLocation& location, Repository& repository,
                               std::vector<uint8_t>& bytes, std::string& failure) {
    SettingsFileState state = ReadWholeFile(location.file, bytes, failure);
    if (state == SettingsFileState::Read) {
        return repository.Decode(bytes.data(), bytes.size()) ? SettingsFileState::Read
                                                             : SettingsFileState::Undecodable;
    }
    std::string ignored;
    if (location.defaults.empty() ||
        ReadWholeFile(location.defaults, bytes, ignored) != SettingsFileState::Read ||
        !repository.Decode(bytes.data(), bytes.size())) {
        repository = Repository();
        bytes.clear();
        return state;
    }
    return state == SettingsFileState::Missing ? SettingsFileState::Read : state;
}

// The first folder on the way to path that exists but is not a folder, or empty.
std::string FirstNonFolderOnTheWay(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        std::string folder = path.substr(0, slash);
        PathKind kind = KindOfPath(folder);
        if (kind == PathKind::Missing) {
            return "";
        }
        if (kind != PathKind::Folder) {
            return folder;
        }
    }
    return "";
}

// What SettingsSaveProblem says of a file that is there but cannot be read.
std::string UnreadableProblem(const std::string& file, int error, const std::string& failure) {
    if (error == ENOTDIR) {
        std::string culprit = FirstNonFolderOnTheWay(file);
        if (!culprit.empty()) {
            return culprit + " is not a folder";
        }
    }
    if (error == EISDIR) {
        return file + " is a folder";
    }
    return failure;
}

// Keeps the bytes of a settings file that could not be decoded beside it, for the player.
bool KeepBadCopy(const std::string& file, const std::vector<uint8_t>& bytes, std::string& failure) {
    return ReplaceFileSafely(file + BadCopySuffix, bytes.data(), bytes.size(), failure);
}

// The save proper; false with the reason when nothing was written.
bool WriteSettingsFile(std::string& failure) {
    const SettingsLocation& location = LocationInUse();
    if (location.file.empty()) {
        failure = NoFolderFailure;
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

std::string SettingsSaveProblem(const SettingsLocation& location) {
    if (location.file.empty()) {
        return NoFolderFailure;
    }
    std::vector<uint8_t> bytes;
    std::string failure;
    int error = 0;
    if (ReadWholeFile(location.file, bytes, failure, error) == SettingsFileState::Unreadable) {
        return UnreadableProblem(location.file, error, failure);
    }
    // The save writes beside the file a link leads to, and makes the folders that are missing
    // on the way to a player's own file: the nearest folder that exists must take new files.
    std::string target = RealPath(location.file);
    if (target.empty()) {
        target = location.file;
    }
    std::string folder = FolderOf(target);
    std::string existing = NearestExistingFolder(folder);
    if (int refusal = FolderRefusal(existing)) {
        return std::string(existing == folder ? "cannot make files in "
                                              : "cannot make folders in ") +
               existing + ": " + std::strerror(refusal);
    }
    return "";
}

std::string SettingsNotSavedReason() {
    return WithHomeAsTilde(NotSavedReason);
}

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
    NotSavedReason = SettingsSaveProblem(LocationInUse());
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
    if (WriteSettingsFile(failure)) {
        NotSavedReason.clear();
        return;
    }
    std::fprintf(stderr, "brindles-cataclysm: settings not saved: %s\n", failure.c_str());
    // The problem in the player's words where it is known, else the save's own reason.
    NotSavedReason = SettingsSaveProblem(LocationInUse());
    if (NotSavedReason.empty()) {
        NotSavedReason = failure;
    }
}
