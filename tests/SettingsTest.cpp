#include <gtest/gtest.h>

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
const std::string BadCopyPath = SettingsPath + ".bad";

// A game folder of its own for each test, with the settings values as the program starts.
class Settings : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetUpAssetRootFrom((folder.Path() + "/cataclysm").c_str()));
        folder.Write("base/config/placeholder", {});
        ScreenWidth = ScreenHeight = ColorDepth = Brightness = 0;
        GlslEnabled = GlslChoice = SoundEnabled = false;
        HighScore = 0;
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

    Repository Saved() {
        Repository repository;
        Bytes bytes = folder.Read(SettingsPath);
        EXPECT_TRUE(repository.Decode(bytes.data(), bytes.size())) << repository.Failure();
        return repository;
    }

    int32_t SavedInt(const char* key) {
        int32_t value = -999;
        EXPECT_TRUE(Saved().GetInt(key, &value));
        return value;
    }

    std::vector<std::string> ConfigFiles() { return folder.List("base/config"); }

    TempFolder folder;
};

Bytes GameFile(const Bytes& entries) {
    return File(DefaultRepositoryHeader, SectionRecord("BrindlesCataclysm", 1), entries);
}

Bytes AllSeven(int32_t glsl, int32_t sound) {
    return GameFile(Join({IntEntry(1, "ScreenWidth", 1280), IntEntry(1, "ScreenHeight", 1024),
                          IntEntry(1, "ColorDepth", 24), IntEntry(1, "Brightness", 1),
                          IntEntry(1, "GLSL", glsl), IntEntry(1, "Sound", sound),
                          IntEntry(1, "HighScore", 31337)}));
}

int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text) {
        lines += c == '\n';
    }
    return lines;
}

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
    EXPECT_FALSE(GlslEnabled);
    EXPECT_FALSE(GlslChoice);
    EXPECT_FALSE(SoundEnabled);
}

TEST_F(Settings, LoadingReadsAllSevenValues) {
    folder.Write(SettingsPath, AllSeven(1, 1));
    Load();
    EXPECT_EQ(ScreenWidth, 1280);
    EXPECT_EQ(ScreenHeight, 1024);
    EXPECT_EQ(ColorDepth, 24);
    EXPECT_EQ(Brightness, 1);
    EXPECT_EQ(HighScore, 31337);
    EXPECT_TRUE(GlslEnabled);
    EXPECT_TRUE(GlslChoice);
    EXPECT_TRUE(SoundEnabled);
}

TEST_F(Settings, OnlyExactlyOneSwitchesShadersAndSoundOn) {
    folder.Write(SettingsPath, AllSeven(2, 2));
    Load();
    EXPECT_FALSE(GlslEnabled);
    EXPECT_FALSE(GlslChoice);
    EXPECT_FALSE(SoundEnabled);
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(SavedInt("GLSL"), 0);
    EXPECT_EQ(SavedInt("Sound"), 0);
}

TEST_F(Settings, SavingKeepsTheChoiceNotTheRunningPath) {
    folder.Write(SettingsPath, AllSeven(0, 1));
    Load();
    GlslChoice = true;
    SoundEnabled = false;
    HighScore = 40000;
    Save();
    EXPECT_FALSE(GlslEnabled);
    EXPECT_EQ(SavedInt("GLSL"), 1);
    EXPECT_EQ(SavedInt("Sound"), 0);
    EXPECT_EQ(SavedInt("HighScore"), 40000);
    EXPECT_EQ(SavedInt("ColorDepth"), 24) << "carried from the file back to the file";
}

TEST_F(Settings, AMissingHighScoreIsZeroOnLoadAndAddedOnSave) {
    folder.Write(SettingsPath, GameFile(IntEntry(1, "ScreenWidth", 800)));
    HighScore = 77;
    Load();
    EXPECT_EQ(HighScore, 0);
    EXPECT_EQ(ScreenWidth, 800);

    HighScore = 15000;
    EXPECT_EQ(Save(), "");
    Repository saved = Saved();
    for (const char* key : {"ScreenWidth", "ScreenHeight", "ColorDepth", "Brightness", "GLSL",
                            "Sound", "HighScore"}) {
        EXPECT_TRUE(saved.HasEntry(1, key)) << key;
    }
    Load();
    EXPECT_EQ(HighScore, 15000) << "the high score is kept from now on";
}

TEST_F(Settings, SavingKeepsEverythingElseInTheFile) {
    Bytes original =
        File("our own header\r\n",
             Join({SectionRecord("Editor", 2), SectionRecord("BrindlesCataclysm", 1)}),
             Join({IntEntry(1, "ScreenWidth", 800), IntEntry(1, "ScreenHeight", 600),
                   IntEntry(1, "ColorDepth", 32), IntEntry(1, "Brightness", 0),
                   IntEntry(1, "GLSL", 1), IntEntry(1, "Sound", 0), IntEntry(1, "HighScore", 10),
                   IntEntry(2, "HighScore", 555), EntryRecord(2, 5, "Path", CString("maps/one")),
                   EntryRecord(1, 6, "Gamma", {0, 0, 0x80, 0x3F})}));
    folder.Write(SettingsPath, original);
    Load();
    HighScore = 20;
    EXPECT_EQ(Save(), "");

    // What the file must now hold: the same records, in reverse, with the new high score.
    Repository expected;
    ASSERT_TRUE(expected.Decode(original.data(), original.size()));
    int32_t highScore = 20;
    ASSERT_TRUE(expected.SetInt("HighScore", &highScore));
    EXPECT_EQ(folder.Read(SettingsPath), expected.Encode());
}

TEST_F(Settings, SavingWithoutAFileWritesACompleteOne) {
    HighScore = 900;
    ScreenWidth = 1024;
    ScreenHeight = 768;
    EXPECT_EQ(Save(), "");
    Repository saved = Saved();
    EXPECT_EQ(saved.HeaderText(), DefaultRepositoryHeader);
    EXPECT_EQ(SavedInt("HighScore"), 900);
    EXPECT_EQ(SavedInt("ScreenWidth"), 1024);
    EXPECT_EQ(SavedInt("ScreenHeight"), 768);
    EXPECT_FALSE(folder.Exists(BadCopyPath));
    EXPECT_EQ(ConfigFiles(), (std::vector<std::string>{"bc.rep", "placeholder"}));
}

TEST_F(Settings, AnEmptyFileIsReplacedByACompleteOne) {
    folder.Write(SettingsPath, {});
    Load();
    HighScore = 321;
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(SavedInt("HighScore"), 321);
    EXPECT_FALSE(folder.Exists(BadCopyPath)) << "an empty file holds nothing worth keeping";
}

TEST_F(Settings, AnUndecodableFileIsKeptBesideBeforeItIsReplaced) {
    Bytes damaged = AllSeven(1, 1);
    damaged.resize(damaged.size() - 3);
    folder.Write(SettingsPath, damaged);
    Load();
    EXPECT_EQ(ScreenWidth, 640) << "a cut entries block yields no entries";
    HighScore = 4242;
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(folder.Read(BadCopyPath), damaged);
    EXPECT_EQ(SavedInt("HighScore"), 4242);
    EXPECT_EQ(SavedInt("GLSL"), 0);
}

TEST_F(Settings, AFileThatCannotBeReadIsLeftAloneAndReported) {
    folder.Write(SettingsPath, AllSeven(1, 1));
    FileOpenHook = [](const char*, const char*, FILE** out) {
        *out = nullptr;
        errno = EACCES;
    };
    std::string message = Save();
    EXPECT_EQ(CountLines(message), 1) << message;
    EXPECT_NE(message.find("Permission denied"), std::string::npos) << message;
    EXPECT_EQ(folder.Read(SettingsPath), AllSeven(1, 1));
    EXPECT_FALSE(folder.Exists(BadCopyPath));
}

TEST_F(Settings, ASaveIntoAReadOnlyFolderLeavesTheOldFileAndSaysSo) {
    folder.Write(SettingsPath, AllSeven(1, 1));
    FileReplace.makeTemporary = [](char*) {
        errno = EROFS;
        return -1;
    };
    HighScore = 1;
    std::string message = Save();
    EXPECT_EQ(CountLines(message), 1) << message;
    EXPECT_NE(message.find("settings not saved"), std::string::npos) << message;
    EXPECT_EQ(folder.Read(SettingsPath), AllSeven(1, 1));
    EXPECT_EQ(ConfigFiles(), (std::vector<std::string>{"bc.rep", "placeholder"}));
}

TEST_F(Settings, ASaveOntoAFullDiskLeavesTheOldFileAndNoTemporaryFile) {
    folder.Write(SettingsPath, AllSeven(1, 1));
    // Half of the first write lands; the disk is full after it.
    FileReplace.write = [](int descriptor, const void* bytes, size_t size) -> ssize_t {
        static bool first = true;
        if (first) {
            first = false;
            return write(descriptor, bytes, size / 2);
        }
        errno = ENOSPC;
        return -1;
    };
    std::string message = Save();
    EXPECT_EQ(CountLines(message), 1) << message;
    EXPECT_NE(message.find("No space left on device"), std::string::npos) << message;
    EXPECT_EQ(folder.Read(SettingsPath), AllSeven(1, 1));
    EXPECT_EQ(ConfigFiles(), (std::vector<std::string>{"bc.rep", "placeholder"}));
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
    EXPECT_EQ(SavedInt("HighScore"), 99999);
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
    EXPECT_EQ(folder.List(""), std::vector<std::string>{"file"});
}
