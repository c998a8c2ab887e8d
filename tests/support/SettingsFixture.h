#pragma once
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/AssetFiles.h"
#include "settings/Repository.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsValues.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/RepositoryBytes.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSystem.h"

// The settings files the settings tests load, and a game folder of its own for each of them:
// shared by the tests every system runs and the tests of one system.
namespace RepositoryBytes {

inline bool DecodeInto(Repository& repository, const Bytes& bytes) {
    return repository.Decode(bytes.data(), bytes.size());
}

const Bytes GameSection = SectionRecord("BrindlesCataclysm", 1);

inline Bytes GameFile(const Bytes& entries) {
    return File(DefaultRepositoryHeader, GameSection, entries);
}

inline Bytes SevenEntries(int32_t glsl, int32_t sound) {
    return Join({IntEntry(1, "ScreenWidth", 1280), IntEntry(1, "ScreenHeight", 1024),
                 IntEntry(1, "ColorDepth", 24), IntEntry(1, "Brightness", 1),
                 IntEntry(1, "GLSL", glsl), IntEntry(1, "Sound", sound),
                 IntEntry(1, "HighScore", 31337)});
}

inline Bytes AllSeven(int32_t glsl, int32_t sound) {
    return GameFile(SevenEntries(glsl, sound));
}

// AllSeven with its entries block cut short: the file cannot be decoded.
inline Bytes CutShort() {
    Bytes cut = AllSeven(1, 1);
    cut.resize(cut.size() - 3);
    return cut;
}

}  // namespace RepositoryBytes

// A game folder of its own for each test, with the settings values as the program starts.
class Settings : public testing::Test {
protected:
    using Bytes = RepositoryBytes::Bytes;
    using Names = std::vector<std::string>;
    using Numbers = std::vector<int32_t>;

    // The settings file beside the game, below the test's folder.
    static inline const std::string SettingsPath = std::string("base/") + SettingsFileName;

    void SetUp() override {
        ASSERT_TRUE(SetUpAssetRootFrom((folder.Path() + "/cataclysm").c_str()));
        folder.Write("base/config/other", {});
        ScreenWidth = ScreenHeight = ColorDepth = Brightness = HighScore = 0;
        GlslEnabled = GlslChoice = SoundEnabled = false;
    }

    void TearDown() override { FileOpenHook = nullptr; }

    // Loads as start-up does, then puts the file opener back as start-up does later on.
    void Load() {
        LoadSettingsFromAssetRoot();
        EXPECT_EQ(FileOpenHook, nullptr) << "loading leaves the file opener cleared";
        FileOpenHook = OpenAssetFile;
    }

    // Saves and returns what went to stderr.
    std::string Save() {
        testing::internal::CaptureStderr();
        SaveSettings();
        return testing::internal::GetCapturedStderr();
    }

    // The seven values in the saved file, in the order of the fresh file; -999 for a missing key.
    Numbers Saved(const std::string& path = SettingsPath) {
        Repository saved;
        EXPECT_TRUE(RepositoryBytes::DecodeInto(saved, folder.Read(path))) << saved.Failure();
        Numbers values;
        for (const char* key : {"ScreenWidth", "ScreenHeight", "ColorDepth", "Brightness", "GLSL",
                                "Sound", "HighScore"}) {
            values.push_back(-999);
            saved.GetInt(key, &values.back());
        }
        return values;
    }

    Names ConfigFiles() { return folder.List("base/config"); }

    KeptSettings kept;
    TempFolder folder;
    // A player's own file never lands in the real configuration folder; its folders do not exist
    // yet.
    PlayerConfigFolderAt configHome{folder.Path() + "/home/.config"};
};

// Where the game at the executable keeps its settings: file, defaults, per user.
using Chosen = std::tuple<std::string, std::string, bool>;

inline Chosen ChooseFor(const std::string& executable) {
    EXPECT_TRUE(SetUpAssetRootFrom(executable.c_str()));
    SettingsLocation location = ChooseSettingsLocation();
    FileOpenHook = nullptr;
    return {location.file, location.defaults, location.perUser};
}
