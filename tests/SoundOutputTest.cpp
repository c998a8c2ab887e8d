#include <gtest/gtest.h>

#include <AL/alext.h>
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "audio/AudioDevice.h"
#include "audio/OggVorbis.h"
#include "audio/Wave.h"
#include "tests/support/RecordingALTest.h"
#include "tests/support/SampleStreams.h"
#include "tests/support/TempFolder.h"
#include "tools/forge/SoundEncoding.h"

namespace {

using Bytes = std::vector<uint8_t>;

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

class SoundOutputTest : public RecordingALTest {
protected:
    void SetUp() override {
        RecordingALTest::SetUp();
        assets.Write("shot.wav", EncodeWave(std::vector<int16_t>(64, 111), 1, 22050));
        assets.Write("engine.wav", EncodeWave(std::vector<int16_t>(64, 222), 1, 22050));
        assets.Write("music.ogg", OggOf(Tone(440.0, 3.0, 1, 22050, 0.5f), 1, 22050));
        ASSERT_TRUE(OpenAudioDevice());
    }
    void TearDown() override {
        StopWatchingAudioDevice();
        CloseAudioDevice();
        RecordingALTest::TearDown();
    }

    // How many buffers held the given clip's samples, told by its first sample.
    static size_t Uploads(int16_t level) {
        const std::vector<Bytes>& buffers = RecordingAL::BufferedData();
        return static_cast<size_t>(
            std::count_if(buffers.begin(), buffers.end(),
                          [&](const Bytes& b) { return FirstSample(b) == level; }));
    }

    TempAssetRoot assets;
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
