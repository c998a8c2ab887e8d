#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/ShipSounds.h"
#include "audio/Wave.h"
#include "settings/SettingsValues.h"
#include "tests/support/GameScene.h"
#include "tests/support/PlayField.h"
#include "tests/support/RecordingALTest.h"
#include "tests/support/RepositoryBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/forge/SoundEncoding.h"
#include "world/ExplosionObject.h"
#include "world/ShipObject.h"

using namespace RepositoryBytes;

namespace {

using Args = std::vector<double>;

struct Chunk {
    const char* id;
    Bytes body;
};

// The 16 bytes of a PCM "fmt " chunk.
Bytes FormatBody(uint16_t channels, uint32_t rate, uint16_t bits) {
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    return Join({Le16(1), Le16(channels), Le32(rate), Le32(rate * align), Le16(align), Le16(bits)});
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

std::vector<double> SourcesPlayed() {
    std::vector<double> sources;
    for (const RecordedCall& call : RecordingAL::CallsTo("alSourcePlay")) {
        sources.push_back(call.args[0]);
    }
    return sources;
}

// A recording AL and sound on for each test.
class WaveTest : public RecordingALTest {
protected:
    // Loads bytes written as "effect.wav" into a new clip.
    std::unique_ptr<Wave> Loaded(const Bytes& file) {
        assets.Write("effect.wav", file);
        auto wave = std::make_unique<Wave>();
        EXPECT_TRUE(wave->Load("effect.wav"));
        return wave;
    }

    TempAssetRoot assets;
};

TEST_F(WaveTest, LoadBuffersTheSamplesOfEachLayoutOnOneSource) {
    struct Case {
        const char* name;
        Bytes file;
        ALenum format;
        double frequency;
        Bytes samples;
    };
    const Bytes mono8 = {0x80, 0x90, 0x70, 0xFF, 0x00};  // odd: followed by a pad byte
    const Bytes stereo16 = {0x01, 0x02, 0x03, 0x04, 0xFF, 0x7F, 0x00, 0x80};
    const Bytes stereoFormat = FormatBody(2, 44100, 16);
    const Bytes padded =
        WaveFile({{"LIST", Bytes(25, 'x')}, {"fmt ", stereoFormat}, {"data", stereo16}});
    Bytes unpadded = padded;
    unpadded.erase(unpadded.begin() + 12 + 8 + 25);  // the pad byte after "LIST"
    const std::vector<Case> cases = {
        {"mono 8-bit", WaveFile({{"fmt ", FormatBody(1, 22050, 8)}, {"data", mono8}}),
         AL_FORMAT_MONO8, 22050, mono8},
        // An odd-sized chunk before "fmt ", with the pad byte RIFF asks for and without it.
        {"odd LIST chunk, padded", padded, AL_FORMAT_STEREO16, 44100, stereo16},
        {"odd LIST chunk, unpadded", unpadded, AL_FORMAT_STEREO16, 44100, stereo16},
        {"second data chunk",
         WaveFile({{"fmt ", stereoFormat}, {"data", Bytes(12, 1)}, {"data", stereo16}}),
         AL_FORMAT_STEREO16, 44100, stereo16},
        {"data chunk cut short: its whole frames",
         Join({WaveFile({{"fmt ", FormatBody(1, 44100, 16)}}),
               Text("data"),
               Le32(1000),
               {1, 2, 3, 4, 5, 6, 7}}),
         AL_FORMAT_MONO16,
         44100,
         {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        RecordingAL::Install();
        auto wave = Loaded(test.file);
        EXPECT_TRUE(wave->Loaded());
        // Names come from 1: the source first, then the buffer; the clip sounds at the listener.
        const double format = test.format, size = static_cast<double>(test.samples.size());
        EXPECT_EQ(RecordingAL::CallsTo("alBufferData")[0].args,
                  (Args{2, format, 1, size, test.frequency}));
        EXPECT_EQ(RecordingAL::BufferedData()[0], test.samples);
        EXPECT_EQ(RecordingAL::CallsTo("alSourcei"),
                  (std::vector<RecordedCall>{{"alSourcei", {1, AL_BUFFER, 2}},
                                             {"alSourcei", {1, AL_SOURCE_RELATIVE, 1}}}));
    }
}

// One clip from its load to its release, with sound off and on.
TEST_F(WaveTest, SoundOffSilencesTheClipAOneOffEndsALoopAndReleaseIsComplete) {
    SoundEnabled = false;
    auto wave = Loaded(WaveFile({{"fmt ", FormatBody(1, 44100, 16)}, {"data", Bytes(8, 1)}}));
    EXPECT_TRUE(wave->Loaded()) << "the clip is made even with sound off";
    RecordingAL::ClearCalls();
    wave->Play(true);
    wave->Stop();
    EXPECT_TRUE(RecordingAL::Calls().empty());

    // A one-off after a loop no longer loops. (Restarts, loops and stops are the ship's sounds'.)
    SoundEnabled = true;
    wave->Play(true);
    wave->Play(false);
    EXPECT_EQ(RecordingAL::CallsTo("alSourcei").back().args, (Args{1, AL_LOOPING, 0}));
    EXPECT_EQ(RecordingAL::CallsTo("alSourcePlay").size(), 2u);

    SoundEnabled = false;
    EXPECT_TRUE(wave->Load("effect.wav"));
    wave.reset();
    EXPECT_EQ(RecordingAL::CallsTo("alGenSources").size(), 1u) << "one more, for the reload";
    EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 2u);
    EXPECT_EQ(RecordingAL::CallsTo("alDeleteBuffers").size(), 2u);
}

TEST_F(WaveTest, FilesTheGameCannotPlayLeaveASilentClipAndNoOpenALObjects) {
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
        {"a chunk past the end", Join({WaveFile({{"fmt ", fmt}}), Text("junk"), Le32(~0u), {1}})},
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

}  // namespace

// The ship's three clips as a game scene loads them, on a fresh play field.
class ShipSoundTest : public PlayFieldTest {
protected:
    void SetUp() override {
        PlayFieldTest::SetUp();
        RecordingAL::ClearCalls();
    }

    GameScene scene;
};

TEST_F(ShipSoundTest, EachClipHoldsItsOwnFileTheEngineRestartsEveryHalfSecondAndTheWreckSounds) {
    const std::vector<std::vector<uint8_t>>& buffered = RecordingAL::BufferedData();
    ASSERT_EQ(buffered.size(), 3u);
    for (int clip = 0; clip < 3; ++clip) {
        ASSERT_EQ(buffered[clip].size(), 128u) << GameScene::ShipClips[clip];
        EXPECT_EQ(buffered[clip][0] | buffered[clip][1] << 8, 100 * (clip + 1))
            << GameScene::ShipClips[clip];
    }
    auto* ship = Add(new ShipObject);
    session.ship = ship;
    std::vector<int> playedAt;
    for (int frame = 1; frame <= 80; ++frame) {  // frames of 15.625 ms
        ship->thrusting = frame > 16;
        size_t before = SourcesPlayed().size();
        ship->Update(1.0f / 64.0f);
        if (SourcesPlayed().size() > before) {
            playedAt.push_back(frame);
        }
    }
    // The timer runs with or without thrust: the engine starts within 500 ms of pressing thrust
    // and restarts every 500 ms.
    EXPECT_EQ(playedAt, (std::vector<int>{32, 64}));
    EXPECT_EQ(SourcesPlayed(),
              (std::vector<double>{GameScene::ThrustSource, GameScene::ThrustSource}));
    EXPECT_EQ(RecordingAL::CallsTo("alSourcei").back().args,
              (std::vector<double>{GameScene::ThrustSource, AL_LOOPING, 1}));

    RecordingAL::ClearCalls();
    ship->LoseShip();
    ASSERT_EQ(RecordingAL::CallsTo("alSourceStop").size(), 1u);
    EXPECT_EQ(RecordingAL::CallsTo("alSourceStop")[0].args[0], GameScene::ThrustSource);
    Add(new ExplosionObject(Vec2{1.0f, 2.0f}, 0.75f));
    EXPECT_EQ(SourcesPlayed(), (std::vector<double>{GameScene::DebrisSource}));

    FreeShipSounds();
    EXPECT_FALSE(LaserShotSound || ThrustSound || DebrisExplosionSound);
    EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 3u);
}
