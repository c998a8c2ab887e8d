// What the player hears: music through the real OpenAL Soft, whose wave writer records what the
// device plays in real time, so the test plays a few seconds of audio; and the sounds and music
// the forge made for this build, as the game will find them.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/AssetFiles.h"
#include "audio/AudioDevice.h"
#include "audio/OggVorbis.h"
#include "audio/Wave.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/SampleStreams.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr int16_t SoundingLevel = 300;  // about -40 dB; the writer's silence is exact zeros
constexpr size_t Rate = 44100;

size_t Frames(double seconds) {
    return static_cast<size_t>(seconds * Rate);
}

// The wave writer's configuration and output, in a folder that goes when the process ends.
const TempFolder& OutputFolder() {
    static TempFolder folder;
    return folder;
}

// The real OpenAL Soft, loaded through the game's own loader, its wave writer mixing everything
// the device plays into a WAV file, 16-bit stereo. The library reads its configuration once, so
// it is loaded once per process and stays; the reason it could not be is kept in error.
const ALTable& RealAL(std::string& error) {
    static std::string failure;
    static const ALTable table = [] {
        std::string config =
            "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\nfrequency=" +
            std::to_string(Rate) +
            "\nhrtf=false\ndither=false\noutput-limiter=false\n[wave]\nfile=" +
            OutputFolder().Path() + "/output.wav\n";
        OutputFolder().Write("alsoft.conf", std::vector<uint8_t>(config.begin(), config.end()));
        setenv("ALSOFT_CONF", (OutputFolder().Path() + "/alsoft.conf").c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
        ALLibrary = SDL_LoadObject(ALLibraryName);
        ClearPublishedALEntryPoints();
        if (ALLibrary == nullptr) {
            failure = std::string("cannot load ") + ALLibraryName + ": " + SDL_GetError();
        } else if (LoadALEntryPoints() != ALEntryPointsLoadedOk) {
            failure = std::string("OpenAL lacks ") + MissingALEntryPoint();
        } else {
            PublishALEntryPoints();
        }
        return PublishedAL;
    }();
    error = failure;
    return table;
}

// The left channel of what the device wrote, once it is closed.
std::vector<int16_t> RecordedLeft() {
    std::vector<uint8_t> bytes = OutputFolder().Read("output.wav");
    WaveLayout layout = ParseWave(bytes.data(), bytes.size());
    std::vector<int16_t> left;
    for (size_t at = layout.dataOffset;
         layout.format == AL_FORMAT_STEREO16 && at + 4 <= layout.dataOffset + layout.dataSize;
         at += 4) {
        left.push_back(static_cast<int16_t>(bytes[at] | bytes[at + 1] << 8));
    }
    return left;
}

// The stretches that sound, split wherever the output is silent for minGap frames.
std::vector<std::pair<size_t, size_t>> Segments(const std::vector<int16_t>& left, size_t minGap) {
    std::vector<std::pair<size_t, size_t>> segments;
    size_t quiet = minGap;
    for (size_t i = 0; i < left.size(); ++i) {
        if (std::abs(left[i]) > SoundingLevel) {
            if (quiet >= minGap) {
                segments.push_back({i, i + 1});
            }
            segments.back().second = i + 1;
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return segments;
}

// The level and, from how often it crosses zero, the frequency of a steady tone.
double Rms(const std::vector<int16_t>& left, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) {
        sum += static_cast<double>(left[i]) * left[i];
    }
    return to > from ? std::sqrt(sum / (to - from)) : 0.0;
}

double ToneHz(const std::vector<int16_t>& left, size_t from, size_t to) {
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        crossings += (left[i - 1] < 0) != (left[i] < 0);
    }
    return crossings * static_cast<double>(Rate) / 2.0 / (to - from);
}

// The real device plays what the streaming thread queues: a stream that does not loop once to its
// end, then stops by itself; a looping one without a gap until stopped, and from its beginning
// when played again; nothing once a stream is destroyed while it plays. Then the handshake
// between Play, Stop and the thread over and over: also the test to run under ThreadSanitizer.
TEST(MusicOutput, OnceThroughThenLoopedWithoutAGapThenFromItsBeginningAgainUntilDestroyed) {
    // The real table again (other tests may have replaced it); the writer starts a fresh file.
    std::string error;
    PublishedAL = RealAL(error);
    ASSERT_EQ(error, "");
    ASSERT_TRUE(OpenAudioDevice());
    KeptSettings kept;
    SoundEnabled = true;
    // Half a second: a low tone opens the stream and a high one ends it, each in whole cycles,
    // so the loop itself is seamless.
    std::vector<float> samples = Tone(330.0, 0.3, 2, Rate, 0.5f);
    std::vector<float> rest = Tone(880.0, 0.2, 2, Rate, 0.5f);
    samples.insert(samples.end(), rest.begin(), rest.end());
    TempAssetRoot assets;
    assets.Write("music.ogg", OggOf(samples, 2, Rate));
    auto music = std::make_unique<OggVorbis>();
    ASSERT_TRUE(music->Load("music.ogg"));

    music->Play(false);
    EXPECT_TRUE(WaitFor([&] { return music->Finished(); })) << "the stream did not end by itself";
    for (int milliseconds : {1500, 250}) {
        SDL_Delay(200);
        music->Play(true);
        SDL_Delay(milliseconds);
        music->Stop();
    }
    SDL_Delay(200);
    for (int round = 0; round < 1000; ++round) {
        music->Play(round % 2 == 0);
        music->Stop();
    }
    music->Play(true);
    SDL_Delay(100);
    music.reset();
    SDL_Delay(300);
    CloseAudioDevice();

    const std::vector<int16_t> left = RecordedLeft();
    auto segments = Segments(left, Frames(0.002));
    ASSERT_GE(segments.size(), 4u) << "the music broke off, or went on after Stop";
    size_t onceLength = segments[0].second - segments[0].first;
    EXPECT_GT(onceLength, Frames(0.45)) << "the end of the stream was cut off";
    EXPECT_LT(onceLength, Frames(0.55)) << "the stream played more than once";
    for (size_t i = 0; i < 3; ++i) {
        const size_t first = segments[i].first;
        EXPECT_NEAR(ToneHz(left, first + Frames(0.02), first + Frames(0.2)), 330.0, 20.0) << i;
    }
    auto [first, last] = segments[1];
    ASSERT_GT(last - first, Frames(1.0)) << "the loop broke off before passing its end twice";
    EXPECT_GT(Rms(left, first + Frames(0.05), last - Frames(0.05)), 0.5 * 0.5 * 32767 / 1.5);
    EXPECT_LT(segments[2].second - segments[2].first, Frames(0.3)) << "it went on after Stop";
    EXPECT_GT(left.size() - segments.back().second, Frames(0.2))
        << "nothing sounds once the stream is destroyed";
}

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
