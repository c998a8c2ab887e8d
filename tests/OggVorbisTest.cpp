#include <SDL.h>
#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <dirent.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/OggVorbis.h"
#include "settings/SettingsValues.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/SampleStreams.h"
#include "tests/support/TempAssetRoot.h"

namespace {

using Bytes = std::vector<uint8_t>;

int OpenFileCount() {
    int count = 0;
    DIR* folder = opendir("/proc/self/fd");
    while (folder != nullptr && readdir(folder) != nullptr) {
        ++count;
    }
    if (folder != nullptr) {
        closedir(folder);
    }
    return count;
}

// Waits for the streaming thread to reach a state; false after ten seconds, which only a
// thread that never gets there takes.
bool WaitFor(const std::function<bool()>& reached) {
    for (int waited = 0; waited < 10000; waited += 2) {
        if (reached()) {
            return true;
        }
        SDL_Delay(2);
    }
    return reached();
}

// Rewrites the nominal bitrate in a stream's identification header and reseals its page.
void SetNominalBitrate(Bytes& stream, int32_t bitrate) {
    ogg_page page;
    page.header = stream.data();
    page.header_len = 27 + stream[26];
    page.body = stream.data() + page.header_len;
    page.body_len = 0;
    for (int segment = 0; segment < stream[26]; ++segment) {
        page.body_len += stream[27 + segment];
    }
    for (int i = 0; i < 4; ++i) {
        page.body[20 + i] = static_cast<uint8_t>(static_cast<uint32_t>(bitrate) >> (8 * i));
    }
    ogg_page_checksum_set(&page);
}

std::vector<int16_t> Concatenated(const std::vector<Bytes>& buffers) {
    std::vector<int16_t> samples;
    for (const Bytes& buffer : buffers) {
        const int16_t* words = reinterpret_cast<const int16_t*>(buffer.data());
        samples.insert(samples.end(), words, words + buffer.size() / 2);
    }
    return samples;
}

class OggVorbisTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingAL::Install();
        savedSound = SoundEnabled;
        SoundEnabled = true;
    }
    void TearDown() override {
        SoundEnabled = savedSound;
        RecordingAL::Uninstall();
    }

    std::string PathOf(const std::string& name) const { return assets.folder + "/base/" + name; }

    // A three-second mono tone at 22050 Hz: a handful of chunks.
    std::string WriteTone(const char* name, int channels = 1) {
        assets.Write(name, OggOf(Tone(440.0, 3.0, channels, 22050, 0.5f), channels, 22050));
        return name;
    }

    TempAssetRoot assets;
    bool savedSound = false;
};

TEST(MusicChunk, IsHalfTheNominalBitrateInWholeFramesAndBounded) {
    EXPECT_EQ(MusicChunkBytes(128000, 2), 64000u);
    EXPECT_EQ(MusicChunkBytes(96002, 2), 48000u) << "48001 bytes would split a frame";
    EXPECT_EQ(MusicChunkBytes(96006, 1), 48002u);
    EXPECT_EQ(MusicChunkBytes(96012, 3), 48006u - 48006u % 6);
    EXPECT_EQ(MusicChunkBytes(0, 2), DefaultMusicChunkBytes);
    EXPECT_EQ(MusicChunkBytes(-1, 2), DefaultMusicChunkBytes)
        << "an unset bitrate must not become a huge chunk";
    EXPECT_EQ(MusicChunkBytes(3, 2), 0u) << "less than one frame";
    EXPECT_EQ(MusicChunkBytes(0x7FFFFFFF, 2), MaxMusicChunkBytes);
    EXPECT_EQ(MusicSampleFormat(1), AL_FORMAT_MONO16);
    EXPECT_EQ(MusicSampleFormat(2), AL_FORMAT_STEREO16);
    EXPECT_EQ(MusicSampleFormat(6), AL_FORMAT_STEREO16);
}

TEST_F(OggVorbisTest, StopWithoutAThreadAndPlayWithSoundOffDoNothing) {
    OggVorbis music;
    music.Stop();  // never loaded, never played
    ASSERT_TRUE(music.Load(WriteTone("music.ogg").c_str()));
    music.Stop();
    SoundEnabled = false;
    music.Play(true);
    music.Stop();
    EXPECT_TRUE(music.Finished());
    EXPECT_TRUE(RecordingAL::Calls().empty());
}

TEST_F(OggVorbisTest, PlayAfterAFailedLoadStartsNothing) {
    assets.Write("text.ogg", Bytes{'n', 'o', 't', ' ', 'o', 'g', 'g'});
    assets.Write("empty.ogg", Bytes{});
    const int filesBefore = OpenFileCount();
    for (const char* name : {"missing.ogg", "text.ogg", "empty.ogg"}) {
        SCOPED_TRACE(name);
        OggVorbis music;
        EXPECT_FALSE(music.Load(name));
        EXPECT_FALSE(music.Loaded());
        music.Play(true);
        EXPECT_TRUE(music.Finished());
        music.Stop();
    }
    EXPECT_TRUE(RecordingAL::Calls().empty());
    EXPECT_EQ(OpenFileCount(), filesBefore) << "a file that is not Ogg Vorbis is closed again";
}

TEST_F(OggVorbisTest, StreamingThreadQueuesTwoChunksInTheStreamsFormatAndCleansUp) {
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        RecordingAL::Install();
        const std::string name = WriteTone("music.ogg", channels);
        OggVorbis music;
        ASSERT_TRUE(music.Load(name.c_str()));
        const MusicStreamInfo info = music.Info();
        ASSERT_GT(info.chunkBytes, 0u);
        music.Play(true);
        music.Stop();  // the thread fills and starts its queue before it looks at the flag
        EXPECT_TRUE(music.Finished());

        const double format = channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
        std::vector<RecordedCall> data = RecordingAL::CallsTo("alBufferData");
        ASSERT_EQ(data.size(), 2u);
        for (const RecordedCall& call : data) {
            EXPECT_EQ(call.args[1], format);
            EXPECT_EQ(call.args[3], info.chunkBytes);
            EXPECT_EQ(call.args[4], 22050);
        }
        std::vector<int16_t> decoded = DecodeOgg(PathOf(name));
        decoded.resize(info.chunkBytes);  // two chunks of bytes are this many samples
        EXPECT_EQ(Concatenated(RecordingAL::BufferedData()), decoded);

        std::vector<RecordedCall> queued = RecordingAL::CallsTo("alSourceQueueBuffers");
        ASSERT_EQ(queued.size(), 1u);
        EXPECT_EQ(queued[0].args[1], 2);
        EXPECT_EQ(RecordingAL::CallsTo("alSourcePlay").size(), 1u);
        // What the thread made, it deleted: the source 3 and the buffers 1 and 2.
        EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 1u);
        ASSERT_EQ(RecordingAL::CallsTo("alDeleteBuffers").size(), 1u);
        EXPECT_EQ(RecordingAL::CallsTo("alDeleteBuffers")[0].args[0], 2);
    }
}

TEST_F(OggVorbisTest, StreamThatDoesNotLoopIsQueuedWholeOnceAndEndsByItself) {
    const std::string name = WriteTone("music.ogg");
    RecordingAL::AnswerSourceInteger(AL_BUFFERS_PROCESSED, 1);
    RecordingAL::AnswerSourceInteger(AL_SOURCE_STATE, AL_STOPPED);
    OggVorbis music;
    ASSERT_TRUE(music.Load(name.c_str()));
    music.Play(false);
    ASSERT_TRUE(WaitFor([&] { return music.Finished(); }));
    music.Stop();
    EXPECT_EQ(Concatenated(RecordingAL::BufferedData()), DecodeOgg(PathOf(name)));
}

TEST_F(OggVorbisTest, LoopingStreamGoesOnFromItsBeginningWithoutAGapInTheQueue) {
    const std::string name = WriteTone("music.ogg");
    RecordingAL::AnswerSourceInteger(AL_BUFFERS_PROCESSED, 1);
    RecordingAL::AnswerSourceInteger(AL_SOURCE_STATE, AL_PLAYING);
    OggVorbis music;
    ASSERT_TRUE(music.Load(name.c_str()));
    const std::vector<int16_t> once = DecodeOgg(PathOf(name));
    const size_t chunks = once.size() * 2 / music.Info().chunkBytes;
    music.Play(true);
    // Enough refills to pass the end of the stream twice.
    ASSERT_TRUE(WaitFor([&] { return RecordingAL::BufferDataCount() >= 2 * chunks + 4; }));
    music.Stop();
    std::vector<int16_t> queued = Concatenated(RecordingAL::BufferedData());
    ASSERT_GT(queued.size(), 2 * once.size());
    for (size_t i = 0; i < queued.size(); ++i) {
        ASSERT_EQ(queued[i], once[i % once.size()]) << "sample " << i;
    }
}

TEST_F(OggVorbisTest, DamagedStreamEndsTheThreadInsteadOfSpinning) {
    // A tone with noise in it, so that the stream is long enough to damage in the middle.
    std::vector<float> samples = Tone(440.0, 3.0, 1, 22050, 0.5f);
    uint32_t state = 1;
    for (float& sample : samples) {
        state = state * 1103515245u + 12345u;
        sample += static_cast<float>((state >> 16) % 1000) / 4000.0f - 0.125f;
    }
    const Bytes stream = OggOf(samples, 1, 22050);
    // Damage at a fifth of the file breaks the first fills; at seven tenths, a later refill.
    for (int percent : {20, 70}) {
        SCOPED_TRACE(percent);
        Bytes damaged = stream;
        for (size_t i = damaged.size() * percent / 100, end = i + 20; i < end; ++i) {
            damaged[i] ^= 0x5A;
        }
        assets.Write("damaged.ogg", damaged);
        RecordingAL::Install();
        RecordingAL::AnswerSourceInteger(AL_BUFFERS_PROCESSED, 1);
        RecordingAL::AnswerSourceInteger(AL_SOURCE_STATE, AL_PLAYING);
        OggVorbis music;
        ASSERT_TRUE(music.Load("damaged.ogg"));
        music.Play(true);  // looping: only the damage can end it
        ASSERT_TRUE(WaitFor([&] { return music.Finished(); }));
        music.Stop();
        EXPECT_EQ(RecordingAL::CallsTo("alSourcePlay").size(), percent == 20 ? 0u : 1u);
        EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 1u);
    }
}

// A stream whose pages were spliced together from two streams: the decoder reports a bad link
// at once, and reading past that error used to divide by zero inside the decoder.
TEST_F(OggVorbisTest, StreamWithABrokenLinkEndsAtTheErrorInsteadOfReadingOn) {
    Bytes spliced = ReadTestData("fuzz/oggvorbis-bad-link.ogg");
    ASSERT_FALSE(spliced.empty());
    assets.Write("spliced.ogg", spliced);
    OggVorbis music;
    ASSERT_TRUE(music.Load("spliced.ogg"));
    music.Play(true);
    ASSERT_TRUE(WaitFor([&] { return music.Finished(); }));
    music.Stop();
    EXPECT_EQ(RecordingAL::BufferDataCount(), 0u);
    EXPECT_EQ(RecordingAL::CallsTo("alSourcePlay").size(), 0u);
    EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 1u);
}

TEST_F(OggVorbisTest, StreamWithoutANominalBitrateStreamsInDefaultChunks) {
    Bytes stream = OggOf(Tone(440.0, 1.0, 1, 22050, 0.5f), 1, 22050);
    SetNominalBitrate(stream, -1);
    assets.Write("unset.ogg", stream);
    OggVorbis music;
    ASSERT_TRUE(music.Load("unset.ogg"));
    EXPECT_EQ(music.Info().nominalBitrate, -1);
    EXPECT_EQ(music.Info().chunkBytes, DefaultMusicChunkBytes);
    music.Play(true);
    music.Stop();
    std::vector<RecordedCall> data = RecordingAL::CallsTo("alBufferData");
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[0].args[3], DefaultMusicChunkBytes);
}

TEST_F(OggVorbisTest, LoadingAgainOrDestroyingReleasesTheDecoderAndItsFile) {
    const std::string name = WriteTone("music.ogg");
    const int filesBefore = OpenFileCount();
    auto music = std::make_unique<OggVorbis>();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(music->Load(name.c_str()));
    }
    EXPECT_EQ(OpenFileCount(), filesBefore + 1);
    music->Play(true);
    ASSERT_TRUE(music->Load(name.c_str())) << "loading stops the stream first";
    EXPECT_TRUE(music->Finished());
    EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 1u);
    music->Play(true);
    music.reset();  // destroyed while playing
    EXPECT_EQ(OpenFileCount(), filesBefore);
    EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 2u);
}

}  // namespace
