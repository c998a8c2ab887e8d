#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "settings/Repository.h"
#include "settings/SafeFileWrite.h"
#include "settings/Settings.h"
#include "settings/SettingsValues.h"
#include "tests/support/RepositoryBytes.h"
#include "tests/support/TempFolder.h"

using namespace RepositoryBytes;

namespace {

const std::string SettingsPath = std::string("base/") + SettingsFileName;
using Names = std::vector<std::string>;

Bytes GameFile(const Bytes& entries) {
    return File(DefaultRepositoryHeader, SectionRecord("BrindlesCataclysm", 1), entries);
}

Bytes SevenEntries(int32_t glsl, int32_t sound) {
    return Join({IntEntry(1, "ScreenWidth", 1280), IntEntry(1, "ScreenHeight", 1024),
                 IntEntry(1, "ColorDepth", 24), IntEntry(1, "Brightness", 1),
                 IntEntry(1, "GLSL", glsl), IntEntry(1, "Sound", sound),
                 IntEntry(1, "HighScore", 31337)});
}

Bytes AllSeven(int32_t glsl, int32_t sound) {
    return GameFile(SevenEntries(glsl, sound));
}

// A game folder of its own for each test, with the settings values as the program starts.
class Settings : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetUpAssetRootFrom((folder.Path() + "/cataclysm").c_str()));
        folder.Write("base/config/other", {});
        ScreenWidth = ScreenHeight = ColorDepth = Brightness = HighScore = 0;
        GlslEnabled = GlslChoice = SoundEnabled = false;
    }

    void TearDown() override {
        UseRealFileReplace();
        FileOpenHook = nullptr;
    }

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

    int32_t Saved(const char* key) {
        Repository saved;
        Bytes bytes = folder.Read(SettingsPath);
        EXPECT_TRUE(saved.Decode(bytes.data(), bytes.size())) << saved.Failure();
        EXPECT_TRUE(saved.HasEntry(1, key)) << key;
        int32_t value = -999;
        saved.GetInt(key, &value);
        return value;
    }

    Names ConfigFiles() { return folder.List("base/config"); }

    TempFolder folder;
};

}  // namespace

TEST_F(Settings, LoadingWithoutAFileGivesTheDefaults) {
    Brightness = 2;
    HighScore = 5000;
    Load();
    EXPECT_EQ(ScreenWidth, 640);
    EXPECT_EQ(ScreenHeight, 480);
    EXPECT_EQ(ColorDepth, 16);
    EXPECT_EQ(Brightness, 2) << "brightness keeps its value";
    EXPECT_EQ(HighScore, 0);
    EXPECT_FALSE(GlslEnabled || GlslChoice || SoundEnabled);
}

TEST_F(Settings, AFreshFileLoadsAsAFreshInstallsOptionsWithTheGivenHighScore) {
    folder.Write(SettingsPath, FreshSettingsFile(777));
    Brightness = 2;
    Load();
    EXPECT_EQ(ScreenWidth, 1024);
    EXPECT_EQ(ScreenHeight, 768);
    EXPECT_EQ(ColorDepth, 32);
    EXPECT_EQ(Brightness, 0);
    EXPECT_EQ(HighScore, 777);
    EXPECT_TRUE(GlslEnabled && GlslChoice && SoundEnabled);
}

TEST_F(Settings, LoadingReadsAllSevenValuesAndSavingWritesThemBack) {
    folder.Write(SettingsPath, AllSeven(1, 1));
    Load();
    EXPECT_EQ(ScreenWidth, 1280);
    EXPECT_EQ(ScreenHeight, 1024);
    EXPECT_EQ(ColorDepth, 24);
    EXPECT_EQ(Brightness, 1);
    EXPECT_EQ(HighScore, 31337);
    EXPECT_TRUE(GlslEnabled && GlslChoice && SoundEnabled);

    GlslChoice = false;
    HighScore = 40000;
    EXPECT_EQ(Save(), "");
    EXPECT_TRUE(GlslEnabled) << "the choice takes effect at the next start";
    EXPECT_EQ(Saved("GLSL"), 0);
    EXPECT_EQ(Saved("HighScore"), 40000);
    EXPECT_EQ(Saved("ColorDepth"), 24);
}

TEST_F(Settings, OnlyExactlyOneSwitchesShadersAndSoundOn) {
    folder.Write(SettingsPath, AllSeven(2, 2));
    Load();
    EXPECT_FALSE(GlslEnabled || GlslChoice || SoundEnabled);
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(Saved("GLSL"), 0);
    EXPECT_EQ(Saved("Sound"), 0);
}

TEST_F(Settings, AMissingHighScoreIsZeroOnLoadAndAddedOnSave) {
    folder.Write(SettingsPath, GameFile(IntEntry(1, "ScreenWidth", 800)));
    HighScore = 77;
    Load();
    EXPECT_EQ(HighScore, 0);
    EXPECT_EQ(ScreenWidth, 800);
    HighScore = 15000;
    EXPECT_EQ(Save(), "");
    for (const char* key : {"ScreenHeight", "ColorDepth", "Brightness", "GLSL", "Sound"}) {
        Saved(key);
    }
    Load();
    EXPECT_EQ(HighScore, 15000) << "the high score is kept from now on";
}

TEST_F(Settings, SavingKeepsEverythingElseInTheFile) {
    Bytes original = File("our own header\r\n",
                          Join({SectionRecord("Editor", 2), SectionRecord("BrindlesCataclysm", 1)}),
                          Join({SevenEntries(1, 0), IntEntry(2, "HighScore", 555),
                                EntryRecord(2, 5, "Path", CString("maps/one")),
                                EntryRecord(1, 6, "Gamma", {0, 0, 0x80, 0x3F})}));
    folder.Write(SettingsPath, original);
    Load();
    HighScore = 20;
    EXPECT_EQ(Save(), "");

    // The same records, in reverse, with the new high score.
    Repository expected;
    ASSERT_TRUE(expected.Decode(original.data(), original.size()));
    ASSERT_TRUE(expected.SetInt("HighScore", &HighScore));
    EXPECT_EQ(folder.Read(SettingsPath), expected.Encode());
}

TEST_F(Settings, AMissingOrEmptyFileIsReplacedByACompleteOne) {
    for (bool empty : {false, true}) {
        if (empty) {
            folder.Write(SettingsPath, {});
        }
        HighScore = empty ? 321 : 900;
        EXPECT_EQ(Save(), "");
        EXPECT_EQ(Saved("HighScore"), HighScore);
        for (const char* key :
             {"ScreenWidth", "ScreenHeight", "ColorDepth", "Brightness", "GLSL", "Sound"}) {
            Saved(key);
        }
        EXPECT_EQ(ConfigFiles(), (Names{"bc.rep", "other"})) << "nothing worth keeping beside";
    }
}

TEST_F(Settings, AnUndecodableFileIsKeptBesideBeforeItIsReplaced) {
    Bytes damaged = AllSeven(1, 1);
    damaged.resize(damaged.size() - 3);
    folder.Write(SettingsPath, damaged);
    Load();
    EXPECT_EQ(ScreenWidth, 640) << "a cut entries block yields no entries";
    HighScore = 4242;
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(folder.Read(SettingsPath + ".bad"), damaged);
    EXPECT_EQ(Saved("HighScore"), 4242);
}

TEST_F(Settings, AFileThatCannotBeReadIsLeftAloneAndReported) {
    folder.Write(SettingsPath, AllSeven(1, 1));
    FileOpenHook = [](const char*, const char*, FILE** out) {
        *out = nullptr;
        errno = EACCES;
    };
    std::string message = Save();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_NE(message.find("Permission denied"), std::string::npos) << message;
    EXPECT_EQ(folder.Read(SettingsPath), AllSeven(1, 1));
    EXPECT_EQ(ConfigFiles(), (Names{"bc.rep", "other"}));
}

// A read-only folder refuses the temporary file; a full disk takes half of it.
TEST_F(Settings, AFailedSaveLeavesTheOldFileAndNoTemporaryFileAndSaysSo) {
    FileReplaceCalls readOnlyFolder = FileReplace;
    readOnlyFolder.makeTemporary = [](char*) {
        errno = EROFS;
        return -1;
    };
    FileReplaceCalls fullDisk = FileReplace;
    fullDisk.write = [](int descriptor, const void* bytes, size_t size) -> ssize_t {
        static bool first = true;
        if (first) {
            first = false;
            return write(descriptor, bytes, size / 2);
        }
        errno = ENOSPC;
        return -1;
    };
    folder.Write(SettingsPath, AllSeven(1, 1));
    HighScore = 1;
    for (const auto& [calls, reason] : {std::make_pair(readOnlyFolder, "Read-only file system"),
                                        std::make_pair(fullDisk, "No space left on device")}) {
        FileReplace = calls;
        std::string message = Save();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        EXPECT_NE(message.find(std::string("settings not saved: ")), std::string::npos);
        EXPECT_NE(message.find(reason), std::string::npos) << message;
        EXPECT_EQ(folder.Read(SettingsPath), AllSeven(1, 1));
        EXPECT_EQ(ConfigFiles(), (Names{"bc.rep", "other"}));
    }
}

TEST_F(Settings, ASaveCutOffBeforeTheRenameLeavesTheOldFile) {
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
    EXPECT_EQ(Save(), "") << "the next save goes through";
    EXPECT_EQ(Saved("HighScore"), 99999);
}

TEST(FileReplacement, ReplacesTheContentsAndKeepsThePermissions) {
    TempFolder folder;
    folder.Write("file", {1, 2, 3});
    std::string path = folder.Path() + "/file";
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    const uint8_t bytes[] = {9, 8};
    std::string failure;
    ASSERT_TRUE(ReplaceFileSafely(path, bytes, sizeof bytes, failure)) << failure;
    EXPECT_EQ(folder.Read("file"), (Bytes{9, 8}));
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(folder.List(""), Names{"file"});
}
