#pragma once
#include <SDL.h>
#include <vorbis/vorbisfile.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "audio/ALEntryPoints.h"
#include "audio/SoundClip.h"

// What the game makes of an open music stream.
struct MusicStreamInfo {
    int channels = 0;
    long rate = 0;            // samples per second
    long nominalBitrate = 0;  // bits per second, as the stream declares it
    double seconds = 0.0;     // length of the whole stream
    ALenum format = 0;        // AL_FORMAT_MONO16 or AL_FORMAT_STEREO16
    uint32_t chunkBytes = 0;  // PCM bytes decoded per buffer fill
};

// Music is decoded as 16-bit samples: mono for a one-channel stream, stereo for any other.
ALenum MusicSampleFormat(int channels);

// The PCM bytes decoded per buffer fill: half the nominal bitrate in bits per second (64000
// bytes, about a third of a second of 44.1 kHz stereo, at 128 kbit/s), cut to whole sample
// frames and to MaxMusicChunkBytes so that a hostile header cannot ask for a huge allocation.
// A stream that leaves its nominal bitrate unset (0 or negative, as variable-bitrate encoders
// may) gets the chunk of a 128 kbit/s stream. 0 only for a chunk smaller than one frame,
// which plays nothing.
uint32_t MusicChunkBytes(long nominalBitrate, int channels);
constexpr uint32_t DefaultMusicChunkBytes = 64000;
constexpr uint32_t MaxMusicChunkBytes = 1u << 20;

// Music streamed from an Ogg Vorbis file. Play starts a thread that decodes the stream chunk
// by chunk into two OpenAL buffers queued on one source and refills each one as it is played;
// Stop asks that thread to finish and waits until it has. The thread never outlives its
// object, and one object streams on at most one thread.
class OggVorbis : public SoundClip {
public:
    OggVorbis() = default;
    ~OggVorbis() override;
    OggVorbis(const OggVorbis&) = delete;
    OggVorbis& operator=(const OggVorbis&) = delete;

    // Opens the stream, first stopping and releasing any stream opened before. False when the
    // file does not open or is not Ogg Vorbis; the clip is then silent.
    bool Load(const char* path) override;
    // With sound on and a stream open, streams it from its beginning (stopping any stream
    // already playing first).
    void Play(bool loop) override;
    // Ends the streaming thread and returns once it has; at once when none is running.
    void Stop() override;
    // A stream that was playing stops, noting the point it had reached, and goes on from there
    // on the new device.
    void LeaveDevice() override;
    void JoinDevice() override;

    bool Loaded() const { return decoderOpen; }
    // True once the streaming thread has ended by itself or been stopped.
    bool Finished() const { return finished.load(); }
    // The open stream's numbers; main thread, not while streaming.
    MusicStreamInfo Info();

private:
    // How one fill of the chunk came out.
    struct ChunkFill {
        size_t bytes = 0;
        bool streamEnded = false;  // a stream that does not loop reached its end
        bool decodeError = false;  // the decoder reported damaged data
    };

    void StartStream(bool loop, ogg_int64_t fromSample);
    static int StreamMusic(void* music);
    void Stream();
    void PlayQueue(std::vector<char>& chunk);
    ChunkFill FillChunk(std::vector<char>& chunk, bool goOnPastErrors);
    bool BufferChunk(ALuint buffer, const std::vector<char>& chunk, size_t bytes);
    void CloseDecoder();

    bool looping = false;
    ALenum format = 0;
    OggVorbis_File decoder{};
    bool decoderOpen = false;  // decoder holds an open stream and owns its file
    vorbis_info* info = nullptr;
    vorbis_comment* comments = nullptr;  // kept, not used
    // Set by Stop, or by the thread at the end of a stream that does not loop or on an error.
    std::atomic<bool> stopRequested{false};
    // Set by the thread when it has released its OpenAL objects, and by Stop.
    std::atomic<bool> finished{true};
    int32_t nominalBitrate = 0;
    int32_t sampleRate = 0;
    uint32_t chunkSize = 0;
    // The streaming thread's own OpenAL objects, made when it starts and deleted when it ends.
    ALuint buffers[2] = {0, 0};
    ALuint source = 0;
    SDL_Thread* thread = nullptr;  // null while no streaming thread is attached
    // Set by LeaveDevice when a stream was playing: JoinDevice goes on from this sample.
    bool resumeOnNewDevice = false;
    ogg_int64_t resumeSample = 0;
};

// The main menu's music, alive while the menu runs, and the music of level play, alive from
// start-up to shutdown. Null when they do not exist.
extern OggVorbis* MenuMusic;
extern OggVorbis* GameMusic;
