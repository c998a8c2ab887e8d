#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/ShipSounds.h"
#include "audio/Wave.h"
#include "settings/SettingsValues.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/TempAssetRoot.h"
#include "tools/forge/SoundEncoding.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Chunk {
    const char* id;
    Bytes body;
};

Bytes FormatBody(uint16_t channels, uint32_t rate, uint16_t bits) {
    uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    uint32_t byteRate = rate * align;
    return {1,
            0,
            static_cast<uint8_t>(channels),
            0,
            static_cast<uint8_t>(rate),
            static_cast<uint8_t>(rate >> 8),
            static_cast<uint8_t>(rate >> 16),
            0,
            static_cast<uint8_t>(byteRate),
            static_cast<uint8_t>(byteRate >> 8),
            static_cast<uint8_t>(byteRate >> 16),
            0,
            static_cast<uint8_t>(align),
            0,
            static_cast<uint8_t>(bits),
            0};
}

// A RIFF/WAVE file holding the chunks in the order given.
Bytes WaveFile(const std::vector<Chunk>& chunks) {
    Bytes inside = {'W', 'A', 'V', 'E'};
    for (const Chunk& chunk : chunks) {
        AppendRiffChunk(inside, chunk.id, chunk.body.data(), chunk.body.size());
    }
    Bytes file;
    AppendRiffChunk(file, "RIFF", inside.data(), inside.size());
    return file;
}

// Sets the "Sound" setting for one test and puts it back afterwards.
class SoundSetting {
public:
    explicit SoundSetting(bool on) : saved(SoundEnabled) { SoundEnabled = on; }
    ~SoundSetting() { SoundEnabled = saved; }

private:
    bool saved;
};

class WaveTest : public ::testing::Test {
protected:
    void SetUp() override { RecordingAL::Install(); }
    void TearDown() override { RecordingAL::Uninstall(); }

    // Loads bytes written as "effect.wav" into a new clip.
    std::unique_ptr<Wave> Loaded(const Bytes& file) {
        assets.Write("effect.wav", file);
        auto wave = std::make_unique<Wave>();
        EXPECT_TRUE(wave->Load("effect.wav"));
        return wave;
    }

    TempAssetRoot assets;
};

const std::vector<std::string> LoadCalls = {"alGenSources", "alGenBuffers", "alBufferData",
                                            "alSourcei",    "alSourcei",    "alSourcef",
                                            "alSourcef"};

TEST_F(WaveTest, LoadMakesOneSourceAndBufferForEachSampleLayout) {
    struct Case {
        const char* name;
        Bytes file;
        ALenum format;
        double frequency;
        Bytes samples;
    };
    const Bytes mono8 = {0x80, 0x90, 0x70, 0xFF, 0x00};  // odd: followed by a pad byte
    const Bytes stereo16 = {0x01, 0x02, 0x03, 0x04, 0xFF, 0x7F, 0x00, 0x80};
    const std::vector<Case> cases = {
        {"mono 8-bit", WaveFile({{"fmt ", FormatBody(1, 22050, 8)}, {"data", mono8}}),
         AL_FORMAT_MONO8, 22050, mono8},
        {"stereo 16-bit", WaveFile({{"fmt ", FormatBody(2, 44100, 16)}, {"data", stereo16}}),
         AL_FORMAT_STEREO16, 44100, stereo16},
        {"LIST chunk first",
         WaveFile(
             {{"LIST", Bytes(26, 'x')}, {"fmt ", FormatBody(2, 44100, 16)}, {"data", stereo16}}),
         AL_FORMAT_STEREO16, 44100, stereo16},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        RecordingAL::Install();
        auto wave = Loaded(test.file);
        EXPECT_TRUE(wave->Loaded());
        EXPECT_EQ(RecordingAL::CallNames(), LoadCalls);
        const std::vector<RecordedCall>& calls = RecordingAL::Calls();
        ASSERT_EQ(calls.size(), LoadCalls.size());
        // Names come from 1: the source first, then the buffer.
        EXPECT_EQ(calls[2].args,
                  (std::vector<double>{2, static_cast<double>(test.format), 1,
                                       static_cast<double>(test.samples.size()), test.frequency}));
        EXPECT_EQ(calls[3].args, (std::vector<double>{1, AL_BUFFER, 2}));
        EXPECT_EQ(calls[4].args, (std::vector<double>{1, AL_SOURCE_RELATIVE, 1}));
        EXPECT_EQ(calls[5].args, (std::vector<double>{1, AL_PITCH, 1.0}));
        EXPECT_EQ(calls[6].args, (std::vector<double>{1, AL_GAIN, 1.0}));
        ASSERT_EQ(RecordingAL::BufferedData().size(), 1u);
        EXPECT_EQ(RecordingAL::BufferedData()[0], test.samples);
    }
}

TEST_F(WaveTest, WithSoundOffPlayAndStopCallNothingUntilSoundIsOnAgain) {
    SoundSetting off(false);
    auto wave = Loaded(WaveFile({{"fmt ", FormatBody(1, 44100, 16)}, {"data", Bytes(8, 1)}}));
    EXPECT_EQ(RecordingAL::CallNames(), LoadCalls) << "the clip is made even with sound off";
    RecordingAL::ClearCalls();
    wave->Play(true);
    wave->Stop();
    EXPECT_TRUE(RecordingAL::Calls().empty());

    SoundEnabled = true;
    wave->Play(false);
    wave->Stop();
    EXPECT_EQ(RecordingAL::CallNames(),
              (std::vector<std::string>{"alSourcei", "alSourcePlay", "alSourceStop"}));
}

TEST_F(WaveTest, PlayStartsAgainFromTheBeginningAndSetsLooping) {
    SoundSetting on(true);
    auto wave = Loaded(WaveFile({{"fmt ", FormatBody(1, 44100, 16)}, {"data", Bytes(8, 1)}}));
    RecordingAL::ClearCalls();
    wave->Play(false);
    wave->Play(false);  // a shot while the last one still sounds
    wave->Play(true);
    EXPECT_EQ(RecordingAL::CallsTo("alSourcePlay").size(), 3u);
    std::vector<RecordedCall> looping = RecordingAL::CallsTo("alSourcei");
    ASSERT_EQ(looping.size(), 3u);
    EXPECT_EQ(looping[0].args, (std::vector<double>{1, AL_LOOPING, 0}));
    EXPECT_EQ(looping[2].args, (std::vector<double>{1, AL_LOOPING, 1}));
}

TEST_F(WaveTest, FilesTheGameCannotPlayLeaveASilentClipAndNoOpenALObjects) {
    SoundSetting on(true);
    const Bytes fmt = FormatBody(1, 44100, 16);
    Bytes notWave = WaveFile({{"fmt ", fmt}, {"data", Bytes(4, 1)}});
    notWave[8] = 'A';  // form "AAVE"
    Bytes shortFormat = fmt;
    shortFormat.resize(14);
    const std::vector<std::pair<const char*, Bytes>> files = {
        {"data before fmt", WaveFile({{"data", Bytes(4, 1)}, {"fmt ", fmt}})},
        {"no data", WaveFile({{"fmt ", fmt}})},
        {"not WAVE", notWave},
        {"fmt shorter than 16 bytes", WaveFile({{"fmt ", shortFormat}, {"data", Bytes(4, 1)}})},
        {"24-bit samples", WaveFile({{"fmt ", FormatBody(1, 44100, 24)}, {"data", Bytes(6, 1)}})},
        {"three channels", WaveFile({{"fmt ", FormatBody(3, 44100, 16)}, {"data", Bytes(6, 1)}})},
        {"rate 0", WaveFile({{"fmt ", FormatBody(1, 0, 16)}, {"data", Bytes(4, 1)}})},
        {"cut header", Bytes{'R', 'I', 'F', 'F', 4, 0}},
        {"empty", Bytes{}},
    };
    for (const auto& [name, file] : files) {
        SCOPED_TRACE(name);
        RecordingAL::ClearCalls();
        auto wave = Loaded(file);
        wave->Play(true);
        wave->Stop();
        wave.reset();
        EXPECT_FALSE(ParseWave(file.data(), file.size()).Playable());
        EXPECT_TRUE(RecordingAL::Calls().empty()) << RecordingAL::CallNames()[0];
    }
    Wave missing;
    EXPECT_FALSE(missing.Load("no/such/file.wav"));
}

TEST_F(WaveTest, ChunkSizesAreCheckedAgainstTheFileAndOddChunksArePadded) {
    // A data chunk that claims 1000 bytes but holds 7 keeps the 3 whole 16-bit frames.
    Bytes cut = WaveFile({{"fmt ", FormatBody(1, 44100, 16)}});
    const Bytes header = {'d', 'a', 't', 'a', 0xE8, 0x03, 0, 0, 1, 2, 3, 4, 5, 6, 7};
    cut.insert(cut.end(), header.begin(), header.end());
    WaveLayout layout = ParseWave(cut.data(), cut.size());
    EXPECT_TRUE(layout.Playable());
    EXPECT_EQ(layout.dataOffset, cut.size() - 7);
    EXPECT_EQ(layout.dataSize, 6u);

    // An odd-sized chunk before "fmt ": read without its pad byte, "fmt " would be missed.
    Bytes padded = WaveFile(
        {{"LIST", Bytes(3, 'x')}, {"fmt ", FormatBody(1, 44100, 16)}, {"data", Bytes(4, 9)}});
    EXPECT_TRUE(ParseWave(padded.data(), padded.size()).Playable());

    // A skipped chunk that claims more than the file holds simply ends the reading.
    Bytes runaway = WaveFile({{"fmt ", FormatBody(1, 44100, 16)}});
    const Bytes huge = {'j', 'u', 'n', 'k', 0xFF, 0xFF, 0xFF, 0xFF, 1, 2};
    runaway.insert(runaway.end(), huge.begin(), huge.end());
    EXPECT_FALSE(ParseWave(runaway.data(), runaway.size()).dataSeen);
}

TEST_F(WaveTest, ASecondDataChunkReplacesTheFirstWithoutAnotherSource) {
    auto wave = Loaded(WaveFile(
        {{"fmt ", FormatBody(1, 44100, 16)}, {"data", Bytes{1, 1, 1, 1}}, {"data", Bytes{2, 2}}}));
    EXPECT_EQ(RecordingAL::CallsTo("alGenSources").size(), 1u);
    EXPECT_EQ(RecordingAL::CallsTo("alGenBuffers").size(), 1u);
    ASSERT_EQ(RecordingAL::BufferedData().size(), 1u);
    EXPECT_EQ(RecordingAL::BufferedData()[0], (Bytes{2, 2}));
}

TEST_F(WaveTest, DestroyingOrReloadingReleasesTheSourceAndBufferEvenWithSoundOff) {
    SoundSetting off(false);
    const Bytes file = WaveFile({{"fmt ", FormatBody(1, 44100, 16)}, {"data", Bytes(4, 1)}});
    auto wave = Loaded(file);
    EXPECT_TRUE(wave->Load("effect.wav"));
    wave.reset();
    std::vector<RecordedCall> sources = RecordingAL::CallsTo("alDeleteSources");
    std::vector<RecordedCall> buffers = RecordingAL::CallsTo("alDeleteBuffers");
    EXPECT_EQ(sources.size(), 2u);
    EXPECT_EQ(buffers.size(), 2u);
    EXPECT_EQ(RecordingAL::CallsTo("alGenSources").size(), 2u);
}

TEST_F(WaveTest, ParserStaysInsideDamagedFiles) {
    // Seeded damage to a valid file: whatever the bytes say, the samples found lie inside it.
    const Bytes original = WaveFile(
        {{"LIST", Bytes(5, 'i')}, {"fmt ", FormatBody(2, 44100, 16)}, {"data", Bytes(64, 3)}});
    uint32_t state = 12345;
    for (int round = 0; round < 2000; ++round) {
        Bytes damaged = original;
        for (int hit = 0; hit < 4; ++hit) {
            state = state * 1103515245u + 12345u;
            damaged[(state >> 8) % damaged.size()] = static_cast<uint8_t>(state >> 24);
        }
        state = state * 1103515245u + 12345u;
        damaged.resize((state >> 8) % (damaged.size() + 1));
        WaveLayout layout = ParseWave(damaged.data(), damaged.size());
        if (layout.dataSeen) {
            ASSERT_LE(layout.dataOffset + layout.dataSize, damaged.size()) << "round " << round;
        }
    }
}

TEST_F(WaveTest, ShipSoundsLoadInOrderAndAreFreed) {
    const Bytes file = EncodeWave(std::vector<int16_t>(100, 1000), 1, 44100);
    assets.Write("sound/ship/BC_shot-laser3.wav", file);
    assets.Write("sound/ship/BC_explosion-debris.wav", file);
    // No thrust file: that clip exists but stays silent.
    LoadShipSounds();
    ASSERT_NE(LaserShotSound, nullptr);
    ASSERT_NE(ThrustSound, nullptr);
    ASSERT_NE(DebrisExplosionSound, nullptr);
    EXPECT_TRUE(LaserShotSound->Loaded());
    EXPECT_FALSE(ThrustSound->Loaded());
    EXPECT_TRUE(DebrisExplosionSound->Loaded());
    EXPECT_EQ(RecordingAL::CallsTo("alGenSources").size(), 2u);

    FreeShipSounds();
    EXPECT_EQ(LaserShotSound, nullptr);
    EXPECT_EQ(ThrustSound, nullptr);
    EXPECT_EQ(DebrisExplosionSound, nullptr);
    EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 2u);
}

}  // namespace
