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

// A loop's seam, from its last frame back to its first, is no larger a step than the given
// percentile of the steps between neighbouring frames inside the sound.
void ExpectSeamlessLoop(const int16_t* samples, size_t count, int channels, int percentile) {
    std::vector<int> steps;
    for (size_t i = channels; i < count; ++i) {
        steps.push_back(std::abs(samples[i] - samples[i - channels]));
    }
    std::sort(steps.begin(), steps.end());
    const int usualLargeStep = steps[steps.size() * percentile / 100];
    for (int channel = 0; channel < channels; ++channel) {
        EXPECT_LE(std::abs(samples[channel] - samples[count - channels + channel]), usualLargeStep)
            << "channel " << channel;
    }
}

// Each channel's mean, its DC offset, is below half a percent of full scale: an offset wastes
// headroom and clicks where the sound starts or stops.
void ExpectNoDcOffset(const int16_t* samples, size_t count, int channels) {
    for (int channel = 0; channel < channels; ++channel) {
        double sum = 0.0;
        for (size_t i = channel; i < count; i += channels) {
            sum += samples[i];
        }
        double mean = sum / (count / channels) / 32768.0;
        EXPECT_LT(std::fabs(mean), 0.005) << "channel " << channel;
    }
}

class ForgedSoundsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetUpAssetRoot()); }
};

TEST_F(ForgedSoundsTest, ShipSoundsArePlayableCentredSixteenBitPcmAndTheThrustLoopsSeamlessly) {
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
        EXPECT_EQ(layout.format, sound.format);
        EXPECT_EQ(layout.frequency, sound.frequency);
        ASSERT_TRUE(layout.Playable());
        const int16_t* samples = reinterpret_cast<const int16_t*>(bytes.data() + layout.dataOffset);
        const int channels = sound.format == AL_FORMAT_STEREO16 ? 2 : 1;
        ExpectNoDcOffset(samples, layout.dataSize / 2, channels);
        if (std::string(sound.path) == "sound/ship/thrust.wav") {
            ExpectSeamlessLoop(samples, layout.dataSize / 2, 1, 90);
        }
    }
}

TEST_F(ForgedSoundsTest, MusicIsLongStereoLoudEnoughCentredAndLoopsSeamlessly) {
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
        for (int16_t sample : samples) {
            sum += static_cast<double>(sample) * sample;
        }
        double rms = std::sqrt(sum / samples.size()) / 32768.0;
        EXPECT_GT(rms, 0.05) << "too quiet to hear over the effects";
        EXPECT_LT(rms, 0.5);
        ExpectNoDcOffset(samples.data(), samples.size(), 2);
        ExpectSeamlessLoop(samples.data(), samples.size(), 2, 99);
    }
}

}  // namespace
