// Sound files that nobody here wrote: those Debian's alsa-utils and sound-theme-freedesktop
// ship. The tests are skipped on a machine without them.
#include <SDL.h>
#include <gtest/gtest.h>

#include <dirent.h>

#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "audio/OggVorbis.h"
#include "audio/Wave.h"
#include "settings/SettingsValues.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/SampleStreams.h"

namespace {

std::vector<std::string> FilesIn(const std::string& folder, const std::string& suffix) {
    std::vector<std::string> files;
    DIR* directory = opendir(folder.c_str());
    while (dirent* entry = directory != nullptr ? readdir(directory) : nullptr) {
        std::string name = entry->d_name;
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            files.push_back(folder + "/" + name);
        }
    }
    if (directory != nullptr) {
        closedir(directory);
    }
    return files;
}

void OpenAsGiven(const char* name, const char* mode, FILE** out) {
    *out = std::fopen(name, mode);
}

// Opens files by their full paths and records OpenAL, for one test.
class RealSoundFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedHook = FileOpenHook;
        FileOpenHook = OpenAsGiven;
        savedSound = SoundEnabled;
        SoundEnabled = true;
    }
    void TearDown() override {
        FileOpenHook = savedHook;
        SoundEnabled = savedSound;
        RecordingAL::Uninstall();
    }

    FileOpenHookFunction savedHook = nullptr;
    bool savedSound = false;
};

TEST_F(RealSoundFilesTest, WaveFilesFromAlsaUtilsLoadWhole) {
    std::vector<std::string> files = FilesIn("/usr/share/sounds/alsa", ".wav");
    if (files.empty()) {
        GTEST_SKIP() << "alsa-utils' sample sounds are not installed";
    }
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        RecordingAL::Install();
        Wave wave;
        ASSERT_TRUE(wave.Load(path.c_str()));
        EXPECT_TRUE(wave.Loaded());
        ASSERT_EQ(RecordingAL::BufferedData().size(), 1u);
        EXPECT_GT(RecordingAL::BufferedData()[0].size(), 10000u);
    }
}

TEST_F(RealSoundFilesTest, OggFilesFromTheFreedesktopThemeStreamWhole) {
    std::vector<std::string> files = FilesIn("/usr/share/sounds/freedesktop/stereo", ".oga");
    if (files.empty()) {
        GTEST_SKIP() << "sound-theme-freedesktop is not installed";
    }
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        RecordingAL::Install();
        RecordingAL::AnswerSourceInteger(AL_BUFFERS_PROCESSED, 1);
        RecordingAL::AnswerSourceInteger(AL_SOURCE_STATE, AL_STOPPED);
        OggVorbis music;
        ASSERT_TRUE(music.Load(path.c_str()));
        MusicStreamInfo info = music.Info();
        EXPECT_EQ(info.format, info.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16);
        music.Play(false);
        for (int waited = 0; waited < 10000 && !music.Finished(); waited += 2) {
            SDL_Delay(2);
        }
        ASSERT_TRUE(music.Finished());
        music.Stop();
        size_t queued = 0;
        for (const std::vector<uint8_t>& buffer : RecordingAL::BufferedData()) {
            queued += buffer.size();
        }
        EXPECT_EQ(queued, DecodeOgg(path).size() * 2) << "every sample queued once";
    }
}

}  // namespace
