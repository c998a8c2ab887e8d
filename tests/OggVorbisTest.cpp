#include <gtest/gtest.h>

#include <AL/alext.h>
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioDevice.h"
#include "audio/OggVorbis.h"
#include "audio/Wave.h"
#include "settings/SettingsValues.h"
#include "tests/support/RecordingALTest.h"
#include "tests/support/SampleStreams.h"
#include "tests/support/TempFolder.h"
#include "tools/forge/SoundEncoding.h"

namespace {

using Bytes = std::vector<uint8_t>;

int OpenFileCount() {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                          std::filesystem::directory_iterator()));
}

// The device that the watch opens once the first one is lost. The watch's thread calls this
// stand-in, which records nothing, while the test's thread records.
char SecondDevice;
std::atomic<int> WatchOpens{0};
ALCdevice* ALC_APIENTRY OpenSecondDevice(const ALCchar*) {
    ++WatchOpens;
    return reinterpret_cast<ALCdevice*>(&SecondDevice);
}

int16_t FirstSample(const Bytes& buffer) {
    return buffer.size() < 2 ? 0 : static_cast<int16_t>(buffer[0] | buffer[1] << 8);
}

// A recording AL and sound on for each test.
class OggVorbisTest : public RecordingALTest {
protected:
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

    TempAssetRoot assets;
    bool endedByItself = false;
};

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
        music.Stop();  // never played
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

class SoundOutputTest : public OggVorbisTest {
protected:
    void SetUp() override {
        OggVorbisTest::SetUp();
        assets.Write("shot.wav", EncodeWave(std::vector<int16_t>(64, 111), 1, 22050));
        assets.Write("engine.wav", EncodeWave(std::vector<int16_t>(64, 222), 1, 22050));
        WriteTone();
        ASSERT_TRUE(OpenAudioDevice());
    }
    void TearDown() override {
        StopWatchingAudioDevice();
        CloseAudioDevice();
        OggVorbisTest::TearDown();
    }

    // How many buffers held the given clip's samples, told by its first sample.
    static size_t Uploads(int16_t level) {
        const std::vector<Bytes>& buffers = RecordingAL::BufferedData();
        return static_cast<size_t>(
            std::count_if(buffers.begin(), buffers.end(),
                          [&](const Bytes& b) { return FirstSample(b) == level; }));
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
    EXPECT_EQ(Uploads(111), 2u) << "the shot uploaded again";
    EXPECT_EQ(Uploads(222), 2u) << "the engine uploaded again";
    // The clips' sources come first (the shot's 1, the engine's 3), the music's thread's after
    // them (7); after the move the engine's is 10 and the music's 14.
    std::vector<double> played;
    for (const RecordedCall& call : RecordingAL::CallsTo("alSourcePlay")) {
        played.push_back(call.args[0]);
    }
    EXPECT_EQ(played, (std::vector<double>{3, 1, 7, 10, 14}));
    // The effects' buffers hold 128 bytes; the music's, the stream one chunk after another,
    // before the move and after it.
    std::vector<Bytes> streams;
    for (const Bytes& buffer : RecordingAL::BufferedData()) {
        if (buffer.size() != 128) {
            streams.push_back(buffer);
        }
    }
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

}  // namespace
