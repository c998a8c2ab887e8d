// The sounds and music the forge made for this build, as the game will find them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "audio/OggVorbis.h"
#include "audio/Wave.h"
#include "tests/support/SampleStreams.h"

namespace {

class ForgedSoundsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetUpAssetRoot()); }
};

TEST_F(ForgedSoundsTest, ShipSoundsArePlayableSixteenBitPcm) {
    struct Expected {
        const char* path;
        ALenum format;
        uint32_t frequency;
    };
    for (const Expected& sound :
         {Expected{"sound/ship/BC_shot-laser3.wav", AL_FORMAT_MONO16, 44100},
          Expected{"sound/ship/thrust.wav", AL_FORMAT_MONO16, 22050},
          Expected{"sound/ship/BC_explosion-debris.wav", AL_FORMAT_STEREO16, 44100}}) {
        SCOPED_TRACE(sound.path);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadAssetFile(sound.path, bytes)) << "the forge did not make it";
        WaveLayout layout = ParseWave(bytes.data(), bytes.size());
        EXPECT_TRUE(layout.Playable());
        EXPECT_EQ(layout.format, sound.format);
        EXPECT_EQ(layout.frequency, sound.frequency);
    }
}

TEST_F(ForgedSoundsTest, ThrustLoopsWithoutAStepAtItsSeam) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadAssetFile("sound/ship/thrust.wav", bytes));
    WaveLayout layout = ParseWave(bytes.data(), bytes.size());
    const int16_t* samples = reinterpret_cast<const int16_t*>(bytes.data() + layout.dataOffset);
    const size_t count = layout.dataSize / 2;
    std::vector<int> steps;
    for (size_t i = 1; i < count; ++i) {
        steps.push_back(std::abs(samples[i] - samples[i - 1]));
    }
    std::sort(steps.begin(), steps.end());
    EXPECT_LE(std::abs(samples[0] - samples[count - 1]), steps[steps.size() * 9 / 10]);
}

TEST_F(ForgedSoundsTest, MusicIsLongStereoAndLoudEnoughAndItsSeamIsNoRougherThanTheMusic) {
    struct Expected {
        const char* path;
        double minimumSeconds;
    };
    for (const Expected& track : {Expected{"sound/music/BC_menu.ogg", 60.0},
                                  Expected{"sound/music/BC_upbeat-tech.ogg", 90.0}}) {
        SCOPED_TRACE(track.path);
        OggVorbis music;
        ASSERT_TRUE(music.Load(track.path));
        MusicStreamInfo info = music.Info();
        EXPECT_EQ(info.channels, 2);
        EXPECT_EQ(info.rate, 44100);
        EXPECT_GE(info.seconds, track.minimumSeconds);
        EXPECT_GT(info.chunkBytes, 0u);

        std::vector<int16_t> samples = DecodeOgg(std::string(AssetRoot) + track.path);
        double sum = 0.0;
        std::vector<int> steps;
        for (size_t i = 0; i < samples.size(); ++i) {
            sum += static_cast<double>(samples[i]) * samples[i];
            if (i >= 2) {
                steps.push_back(std::abs(samples[i] - samples[i - 2]));
            }
        }
        double rms = std::sqrt(sum / samples.size()) / 32768.0;
        EXPECT_GT(rms, 0.05) << "too quiet to hear over the effects";
        EXPECT_LT(rms, 0.5);
        std::sort(steps.begin(), steps.end());
        const int usualLargeStep = steps[steps.size() * 99 / 100];
        const size_t frames = samples.size() / 2;
        for (int channel = 0; channel < 2; ++channel) {
            EXPECT_LE(std::abs(samples[channel] - samples[2 * (frames - 1) + channel]),
                      usualLargeStep);
        }
    }
}

}  // namespace
