// The game's sound clips through a recording OpenAL: effects held whole (Wave), music streamed
// from Ogg Vorbis, both moved onto a new device when the old one is lost, and the ship's clips.
// Then what the player hears: music through the real OpenAL Soft, whose wave writer records what
// the device plays in real time, so that test plays a few seconds of audio; and the sounds and
// music the forge made for this build, as the game will find them.
#include <gtest/gtest.h>

#include <AL/alext.h>
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/AssetFiles.h"
#include "audio/AudioDevice.h"
#include "audio/OggVorbis.h"
#include "audio/ShipSounds.h"
#include "audio/Wave.h"
#include "platform/System.h"
#include "settings/SettingsValues.h"
#include "tests/support/GameScene.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/PlayField.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/RepositoryBytes.h"
#include "tests/support/SampleStreams.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSystem.h"
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

// The device that the watch opens once the first one is lost. The watch's thread calls this
// stand-in, which records nothing, while the test's thread records.
char SecondDevice;
std::atomic<int> WatchOpens{0};
ALCdevice* ALC_APIENTRY OpenSecondDevice(const ALCchar*) {
    ++WatchOpens;
    return reinterpret_cast<ALCdevice*>(&SecondDevice);
}

// A recording AL and sound on for each test; both are undone after it.
class SoundClipTest : public testing::Test {
protected:
    void SetUp() override {
        RecordingAL::Install();
        SoundEnabled = true;
    }
    void TearDown() override { RecordingAL::Uninstall(); }

    // Loads bytes written as "effect.wav" into a new clip.
    std::unique_ptr<Wave> Loaded(const Bytes& file) {
        assets.Write("effect.wav", file);
        auto wave = std::make_unique<Wave>();
        EXPECT_TRUE(wave->Load("effect.wav"));
        return wave;
    }

    // Writes a three-second tone at 22050 Hz, a handful of chunks, as "music.ogg".
    std::string WriteTone(int channels = 1) {
        assets.Write("music.ogg", OggOf(Tone(440.0, 3.0, channels, 22050, 0.5f), channels, 22050));
        return "music.ogg";
    }

    // Streams a file into a fresh recording AL whose source has always played one buffer. The
    // source has stopped, so a stream that does not loop ends once it is queued whole; or it
    // plays on, and a looping stream is stopped once it has passed its end twice, unless it ends
    // by itself first (endedByItself). Returns every sample queued.
    std::vector<int16_t> Queued(const std::string& name, bool loop) {
        RecordingAL::Install();
        RecordingAL::AnswerSourceInteger(AL_BUFFERS_PROCESSED, 1);
        RecordingAL::AnswerSourceInteger(AL_SOURCE_STATE, loop ? AL_PLAYING : AL_STOPPED);
        OggVorbis music;
        if (!music.Load(name.c_str())) {
            ADD_FAILURE() << name << " does not load";
            return {};
        }
        const MusicStreamInfo info = music.Info();
        const double streamBytes = info.seconds * info.rate * info.channels * 2;
        const size_t refills = static_cast<size_t>(2 * streamBytes / info.chunkBytes) + 4;
        music.Play(loop);
        EXPECT_TRUE(WaitFor([&] {
            return music.Finished() || (loop && RecordingAL::BufferDataCount() >= refills);
        }));
        endedByItself = music.Finished();
        music.Stop();
        return Samples16(RecordingAL::BufferedData());
    }

    KeptSettings kept;
    TempAssetRoot assets;
    bool endedByItself = false;
};
using WaveTest = SoundClipTest;
using OggVorbisTest = SoundClipTest;

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
        // Names come from 1: the source first, then the buffer. (That the source plays the
        // buffer is the laser heard in tests/e2e/test_sound_server.sh.)
        const double format = test.format, size = static_cast<double>(test.samples.size());
        EXPECT_EQ(RecordingAL::CallsTo("alBufferData")[0].args,
                  (Args{2, format, 1, size, test.frequency}));
        EXPECT_EQ(RecordingAL::BufferedData()[0], test.samples);
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

TEST(MusicChunk, IsHalfTheNominalBitrateInWholeFramesAndBounded) {
    EXPECT_EQ(MusicChunkBytes(96002, 2), 48000u) << "48001 bytes would split a frame";
    EXPECT_EQ(MusicChunkBytes(96006, 1), 48002u);
    EXPECT_EQ(MusicChunkBytes(96016, 3), 48006u);
    EXPECT_EQ(MusicChunkBytes(0, 2), DefaultMusicChunkBytes);
    EXPECT_EQ(MusicChunkBytes(-1, 2), DefaultMusicChunkBytes)
        << "an unset bitrate must not become a huge chunk";
    EXPECT_EQ(MusicChunkBytes(3, 2), 0u) << "less than one frame";
    EXPECT_EQ(MusicChunkBytes(0x7FFFFFFF, 2), MaxMusicChunkBytes);
    EXPECT_EQ(MusicSampleFormat(6), AL_FORMAT_STEREO16);
}

TEST_F(OggVorbisTest, NothingStreamsWithoutALoadedStreamOrWithSoundOff) {
    assets.Write("text.ogg", Bytes{'n', 'o', 't', ' ', 'o', 'g', 'g'});
    assets.Write("empty.ogg", Bytes{});
    const int filesBefore = OpenFileCount();
    for (const char* name : {"missing.ogg", "text.ogg", "empty.ogg"}) {
        SCOPED_TRACE(name);
        OggVorbis music;
        EXPECT_FALSE(music.Load(name));
        music.Play(true);
        music.Stop();  // waits for a streaming thread, were there one
        EXPECT_TRUE(RecordingAL::Calls().empty());
    }
    EXPECT_EQ(OpenFileCount(), filesBefore) << "a file that is not Ogg Vorbis is closed again";

    OggVorbis music;
    ASSERT_TRUE(music.Load(WriteTone().c_str()));
    SoundEnabled = false;
    music.Play(true);
    music.Stop();
    EXPECT_TRUE(RecordingAL::Calls().empty());
}

TEST_F(OggVorbisTest, StreamIsQueuedInItsFormatWholeOnceOrLoopedWithoutAGap) {
    for (int channels : {1, 2}) {
        for (bool loop : {false, true}) {
            SCOPED_TRACE(testing::Message() << channels << " channels, looping " << loop);
            const std::string name = WriteTone(channels);
            const std::vector<int16_t> once = DecodeOgg(assets.Path() + "/base/" + name);
            const std::vector<int16_t> queued = Queued(name, loop);
            if (loop) {
                ASSERT_GT(queued.size(), 2 * once.size());
            } else {
                ASSERT_EQ(queued.size(), once.size());
            }
            for (size_t i = 0; i < queued.size(); ++i) {
                ASSERT_EQ(queued[i], once[i % once.size()]) << "sample " << i;
            }
            for (const RecordedCall& call : RecordingAL::CallsTo("alBufferData")) {
                EXPECT_EQ(call.args[1], channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16);
                EXPECT_EQ(call.args[4], 22050);
            }
            EXPECT_EQ(RecordingAL::CallsTo("alSourceQueueBuffers")[0].args[1], 2);
            // What the thread made, it deleted: the buffers 1 and 2 and the source 3.
            EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 1u);
            ASSERT_EQ(RecordingAL::CallsTo("alDeleteBuffers").size(), 1u);
            EXPECT_EQ(RecordingAL::CallsTo("alDeleteBuffers")[0].args[0], 2);
        }
    }
}

// A looping stream that only damage can end. Damage at a fifth of the file breaks the first
// fills, at seven tenths a later refill. The spliced stream (a fuzzer's find) has a broken link
// at once; reading past that error used to divide by zero inside the decoder.
TEST_F(OggVorbisTest, DamagedStreamEndsTheThreadInsteadOfSpinningOrReadingOn) {
    // A tone with noise in it, so that the stream is long enough to damage in the middle.
    std::vector<float> samples = Tone(440.0, 3.0, 1, 22050, 0.5f);
    uint32_t state = 1;
    for (float& sample : samples) {
        state = state * 1103515245u + 12345u;
        sample += static_cast<float>((state >> 16) % 1000) / 4000.0f - 0.125f;
    }
    const Bytes stream = OggOf(samples, 1, 22050);
    auto damagedAt = [&](size_t percent) {
        Bytes damaged = stream;
        for (size_t i = damaged.size() * percent / 100, end = i + 20; i < end; ++i) {
            damaged[i] ^= 0x5A;
        }
        return damaged;
    };
    struct Case {
        const char* name;
        Bytes file;
        size_t plays;
    };
    const Case cases[] = {{"damaged at 20%", damagedAt(20), 0},
                          {"damaged at 70%", damagedAt(70), 1},
                          {"spliced", ReadTestData("fuzz/oggvorbis-bad-link.ogg"), 0}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ASSERT_FALSE(test.file.empty());
        assets.Write("damaged.ogg", test.file);
        Queued("damaged.ogg", true);
        EXPECT_TRUE(endedByItself);
        EXPECT_EQ(RecordingAL::CallsTo("alSourcePlay").size(), test.plays);
        EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 1u);
    }
}

TEST_F(OggVorbisTest, LoadingAgainOrDestroyingReleasesTheDecoderAndItsFile) {
    const std::string name = WriteTone();
    const int filesBefore = OpenFileCount();
    auto music = std::make_unique<OggVorbis>();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(music->Load(name.c_str()));
    }
    EXPECT_EQ(OpenFileCount(), filesBefore + 1);
    music->Play(true);
    ASSERT_TRUE(music->Load(name.c_str()));
    EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 1u)
        << "loading stops the stream first";
    music->Play(true);
    music.reset();  // destroyed while playing
    EXPECT_EQ(OpenFileCount(), filesBefore);
    EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 2u);
}

class SoundOutputTest : public SoundClipTest {
protected:
    void SetUp() override {
        SoundClipTest::SetUp();
        assets.Write("shot.wav", EncodeWave(std::vector<int16_t>(64, 111), 1, 22050));
        assets.Write("engine.wav", EncodeWave(std::vector<int16_t>(64, 222), 1, 22050));
        WriteTone();
        ASSERT_TRUE(OpenAudioDevice());
    }
    void TearDown() override {
        StopWatchingAudioDevice();
        CloseAudioDevice();
        SoundClipTest::TearDown();
    }
};

// Once the device is lost, the watch opens the default one again and the game moves every sound
// onto it: a new context, the effects uploaded again, the engine's loop playing on, the one-off
// shot not played again, and the music going on from the sample it had reached.
TEST_F(SoundOutputTest, ALostDeviceIsReplacedAndEverySoundMovesOntoTheNewOne) {
    Wave shot;
    Wave engine;
    ASSERT_TRUE(shot.Load("shot.wav"));
    ASSERT_TRUE(engine.Load("engine.wav"));
    engine.Play(true);
    shot.Play(false);
    OggVorbis music;
    ASSERT_TRUE(music.Load("music.ogg"));
    const std::vector<int16_t> tune = DecodeOgg(assets.Path() + "/base/music.ogg");
    ASSERT_FALSE(tune.empty());
    RecordingAL::AnswerSourceInteger(AL_BUFFERS_PROCESSED, 1);
    RecordingAL::AnswerSourceInteger(AL_SOURCE_STATE, AL_PLAYING);
    music.Play(true);
    ASSERT_TRUE(WaitFor([] { return RecordingAL::BufferDataCount() >= 6; }));

    WatchOpens = 0;
    PublishedAL.alcOpenDevice = OpenSecondDevice;
    StartWatchingAudioDevice();
    EXPECT_FALSE(AdoptReopenedAudioDevice()) << "nothing to move while the device plays";
    RecordingAL::SetDeviceConnected(false);
    ASSERT_TRUE(WaitFor([] { return WatchOpens.load() > 0; }));
    const size_t before = RecordingAL::BufferDataCount();  // the music has stopped streaming
    ASSERT_TRUE(AdoptReopenedAudioDevice());
    RecordingAL::SetDeviceConnected(true);
    EXPECT_EQ(AudioDevice, reinterpret_cast<ALCdevice*>(&SecondDevice));
    ASSERT_TRUE(WaitFor([&] { return RecordingAL::BufferDataCount() >= before + 6; }));
    music.Stop();
    StopWatchingAudioDevice();

    EXPECT_EQ(RecordingAL::CallsTo("alcDestroyContext").size(), 1u);
    ASSERT_EQ(RecordingAL::CallsTo("alcCreateContext").size(), 2u);
    EXPECT_EQ(RecordingAL::CallsTo("alcCloseDevice")[0].args[0], 1) << "the lost device closed";
    // The clips' sources come first (the shot's 1, the engine's 3), the music's thread's after
    // them (7); after the move the engine's is 10 and the music's 14.
    EXPECT_EQ(SourcesPlayed(), (std::vector<double>{3, 1, 7, 10, 14}));
    // The effects' buffers hold 128 bytes, told apart by their first sample, each uploaded again;
    // the music's, the stream one chunk after another, before the move and after it.
    std::vector<Bytes> streams;
    std::multiset<int> effects;
    for (const Bytes& buffer : RecordingAL::BufferedData()) {
        if (buffer.size() == 128) {
            effects.insert(buffer[0] | buffer[1] << 8);
        } else {
            streams.push_back(buffer);
        }
    }
    EXPECT_EQ(effects, (std::multiset<int>{111, 111, 222, 222}));
    const std::vector<int16_t> streamed = Samples16(streams);
    for (size_t i = 0; i < streamed.size(); ++i) {
        ASSERT_EQ(streamed[i], tune[i % tune.size()]) << "sample " << i;
    }
}

// On a lost device the music's source stands stopped with its buffers counted as played: the
// stream waits there instead of decoding the whole tune over and over.
TEST_F(SoundOutputTest, TheMusicWaitsOnALostDeviceWithoutDecoding) {
    OggVorbis music;
    ASSERT_TRUE(music.Load("music.ogg"));
    RecordingAL::AnswerSourceInteger(AL_BUFFERS_PROCESSED, 2);
    RecordingAL::AnswerSourceInteger(AL_SOURCE_STATE, AL_STOPPED);
    RecordingAL::SetDeviceConnected(false);
    music.Play(true);
    ASSERT_TRUE(WaitFor([] { return RecordingAL::BufferDataCount() >= 2; }));
    SDL_Delay(100);  // ten of the stream's looks
    music.Stop();
    EXPECT_EQ(RecordingAL::BufferDataCount(), 2u);
    EXPECT_EQ(RecordingAL::CallsTo("alSourcePlay").size(), 1u);
}

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

// Publishes the real OpenAL Soft, loaded through the game's own loader, its wave writer mixing
// everything the device plays into a WAV file, 16-bit stereo; the reason it cannot, or "". The
// library reads its configuration once, so it is loaded once per process and stays.
std::string PublishRealAL() {
    static std::string failure;
    static const ALTable table = [] {
        std::string config =
            "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\nfrequency=" +
            std::to_string(Rate) +
            "\nhrtf=false\ndither=false\noutput-limiter=false\n[wave]\nfile=" +
            OutputFolder().Path() + "/output.wav\n";
        OutputFolder().Write("alsoft.conf", std::vector<uint8_t>(config.begin(), config.end()));
        WriteEnvironment("ALSOFT_CONF", (OutputFolder().Path() + "/alsoft.conf").c_str());
        WriteEnvironment("ALSOFT_DRIVERS", nullptr);
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
    PublishedAL = table;
    return failure;
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
    ASSERT_EQ(PublishRealAL(), "");
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

// The ship's three clips as a game scene loads them, on a fresh play field.
class ShipSoundTest : public PlayFieldTest {
protected:
    void SetUp() override {
        PlayFieldTest::SetUp();
        RecordingAL::ClearCalls();
    }

    GameScene scene;
};

TEST_F(ShipSoundTest, EachClipHoldsItsOwnFileTheEngineRestartsEveryHalfSecondAndShotAndWreckSound) {
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
    ship->sinceShot = ship->fireInterval;
    ASSERT_TRUE(ship->Fire());
    EXPECT_EQ(SourcesPlayed(), (std::vector<double>{GameScene::LaserSource}));
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
