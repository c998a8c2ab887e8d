#include "audio/OggVorbis.h"

#include <cstdio>

#include "app/AssetFiles.h"
#include "audio/AudioDevice.h"
#include "settings/SettingsValues.h"

OggVorbis* MenuMusic = nullptr;
OggVorbis* GameMusic = nullptr;

namespace {

constexpr int LittleEndian = 0;
constexpr int SixteenBitWords = 2;
constexpr int SignedSamples = 1;
constexpr Uint32 PollMilliseconds = 10;
// A fill that goes on past holes in the stream gives up after this many in a row.
constexpr int MaxConsecutiveDecodeErrors = 16;

}  // namespace

ALenum MusicSampleFormat(int channels) {
    return channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
}

uint32_t MusicChunkBytes(long nominalBitrate, int channels) {
    uint32_t bytes = DefaultMusicChunkBytes;
    if (nominalBitrate > 0) {
        bytes = static_cast<uint32_t>(nominalBitrate > INT32_MAX ? INT32_MAX : nominalBitrate) >> 1;
    }
    if (bytes > MaxMusicChunkBytes) {
        bytes = MaxMusicChunkBytes;
    }
    uint32_t frameBytes = 2u * static_cast<uint32_t>(channels > 1 ? channels : 1);
    return bytes - bytes % frameBytes;
}

OggVorbis::~OggVorbis() {
    Stop();
    CloseDecoder();
}

void OggVorbis::CloseDecoder() {
    if (decoderOpen) {
        ov_clear(&decoder);  // also closes the file
        decoderOpen = false;
    }
    info = nullptr;
    comments = nullptr;
    format = 0;
    nominalBitrate = 0;
    sampleRate = 0;
    chunkSize = 0;
}

bool OggVorbis::Load(const char* path) {
    Stop();
    CloseDecoder();
    FILE* file = nullptr;
    if (FileOpenHook != nullptr) {
        FileOpenHook(path, "rb", &file);
    }
    if (file == nullptr) {
        return false;
    }
    if (ov_open(file, &decoder, nullptr, 0) < 0) {
        std::fclose(file);  // a failed ov_open leaves the file to us
        return false;
    }
    decoderOpen = true;
    info = ov_info(&decoder, -1);
    comments = ov_comment(&decoder, -1);
    if (info == nullptr) {
        CloseDecoder();
        return false;
    }
    format = MusicSampleFormat(info->channels);
    ov_raw_seek(&decoder, 0);
    nominalBitrate =
        static_cast<int32_t>(info->bitrate_nominal > INT32_MAX ? INT32_MAX : info->bitrate_nominal);
    sampleRate = static_cast<int32_t>(info->rate > INT32_MAX ? 0 : info->rate);
    chunkSize = MusicChunkBytes(nominalBitrate, info->channels);
    return true;
}

MusicStreamInfo OggVorbis::Info() {
    MusicStreamInfo stream;
    if (!decoderOpen) {
        return stream;
    }
    stream.channels = info->channels;
    stream.rate = info->rate;
    stream.nominalBitrate = info->bitrate_nominal;
    double seconds = ov_time_total(&decoder, -1);
    stream.seconds = seconds > 0.0 ? seconds : 0.0;
    stream.format = format;
    stream.chunkBytes = chunkSize;
    return stream;
}

void OggVorbis::Play(bool loop) {
    StartStream(loop, 0);
}

// Streams from the given sample of the stream; from the very beginning for 0.
void OggVorbis::StartStream(bool loop, ogg_int64_t fromSample) {
    resumeOnNewDevice = false;
    if (!SoundEnabled || !decoderOpen) {
        return;
    }
    Stop();
    looping = loop;
    stopRequested = false;
    finished = false;
    if (fromSample <= 0 || ov_pcm_seek(&decoder, fromSample) != 0) {
        ov_raw_seek(&decoder, 0);
    }
    thread = SDL_CreateThread(StreamMusic, "music-stream", this);
    if (thread == nullptr) {
        finished = true;
    }
}

void OggVorbis::LeaveDevice() {
    // A stream that ended by itself is not started again.
    bool playing = thread != nullptr && !finished.load();
    Stop();
    if (playing) {
        resumeOnNewDevice = true;
        resumeSample = ov_pcm_tell(&decoder);
    }
}

void OggVorbis::JoinDevice() {
    if (resumeOnNewDevice) {
        StartStream(looping, resumeSample);
    }
}

void OggVorbis::Stop() {
    if (thread == nullptr) {
        return;
    }
    stopRequested = true;
    SDL_WaitThread(thread, nullptr);
    thread = nullptr;
    finished = true;
}

int OggVorbis::StreamMusic(void* music) {
    static_cast<OggVorbis*>(music)->Stream();
    return 0;
}

// The streaming thread: makes its buffers and source, plays the queue until asked to stop
// or until the stream is over, then releases everything it made, whatever ended it.
void OggVorbis::Stream() {
    alGetError();  // an error left behind by other sound code must not end this stream
    alGenBuffers(2, buffers);
    if (alGetError() == AL_NO_ERROR) {
        alGenSources(1, &source);
        if (alGetError() == AL_NO_ERROR) {
            alSourcei(source, AL_SOURCE_RELATIVE, 1);
            alSourcef(source, AL_PITCH, 1.0f);
            alSourcef(source, AL_GAIN, 1.0f);
            if (chunkSize > 0) {
                std::vector<char> chunk(chunkSize);
                PlayQueue(chunk);
            }
            alSourceStop(source);
            alDeleteSources(1, &source);
        }
        alDeleteBuffers(2, buffers);
    }
    source = 0;
    buffers[0] = buffers[1] = 0;
    finished = true;
}

// Decodes into the chunk until it is full. A looping stream goes on from its beginning when
// it reaches its end; one that does not loop ends the fill there. A decoding error ends the
// fill, unless goOnPastErrors and the error is a hole (pages lost or damaged), in which case
// only a long run of holes does. Any other error means the decoder no longer matches the
// stream, and reading on from there can crash inside the decoder.
OggVorbis::ChunkFill OggVorbis::FillChunk(std::vector<char>& chunk, bool goOnPastErrors) {
    ChunkFill fill;
    int errorsInARow = 0;
    bool readSinceRewind = true;  // a stream that yields nothing after a rewind is empty
    while (fill.bytes < chunk.size()) {
        int bitstream = 0;
        long got = ov_read(&decoder, chunk.data() + fill.bytes,
                           static_cast<int>(chunk.size() - fill.bytes), LittleEndian,
                           SixteenBitWords, SignedSamples, &bitstream);
        if (got > 0) {
            fill.bytes += static_cast<size_t>(got);
            errorsInARow = 0;
            readSinceRewind = true;
        } else if (got < 0) {
            fill.decodeError = true;
            if (got != OV_HOLE || !goOnPastErrors || ++errorsInARow >= MaxConsecutiveDecodeErrors) {
                break;
            }
        } else if (looping && readSinceRewind && ov_raw_seek(&decoder, 0) == 0) {
            readSinceRewind = false;
        } else {
            fill.streamEnded = true;
            break;
        }
    }
    return fill;
}

bool OggVorbis::BufferChunk(ALuint buffer, const std::vector<char>& chunk, size_t bytes) {
    alBufferData(buffer, format, chunk.data(), static_cast<ALsizei>(bytes), sampleRate);
    return alGetError() == AL_NO_ERROR;
}

// Fills and queues both buffers, starts the source, then every few milliseconds refills and
// requeues each buffer the source has finished with. A stream that does not loop plays out
// what is queued before it ends; a source that ran dry because refills came late is started
// again. On a lost device every source stands stopped with its buffers counted as played:
// the stream then waits, decoding nothing, until the game moves it onto a new device.
void OggVorbis::PlayQueue(std::vector<char>& chunk) {
    ChunkFill first = FillChunk(chunk, true);
    if (first.bytes == 0 || first.decodeError || !BufferChunk(buffers[0], chunk, first.bytes)) {
        return;
    }
    ChunkFill second;
    second.streamEnded = first.streamEnded;
    if (!first.streamEnded) {
        second = FillChunk(chunk, true);
    }
    if (second.decodeError) {
        return;
    }
    ALsizei queued = 1;
    if (second.bytes > 0) {
        if (!BufferChunk(buffers[1], chunk, second.bytes)) {
            return;
        }
        queued = 2;
    }
    alSourceQueueBuffers(source, queued, buffers);
    alSourcePlay(source);

    bool streamEnded = second.streamEnded;
    while (!stopRequested) {
        ALint state = AL_PLAYING;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING && !AudioDeviceConnected()) {
            SDL_Delay(PollMilliseconds);
            continue;
        }
        ALint processed = 0;
        alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
        for (; processed > 0 && !streamEnded && !stopRequested; --processed) {
            ALuint buffer = 0;
            alSourceUnqueueBuffers(source, 1, &buffer);
            ChunkFill fill = FillChunk(chunk, false);
            if (!BufferChunk(buffer, chunk, fill.bytes)) {
                return;
            }
            alSourceQueueBuffers(source, 1, &buffer);
            if (alGetError() != AL_NO_ERROR) {
                return;
            }
            streamEnded = fill.streamEnded;
            if (fill.decodeError) {
                stopRequested = true;
            }
        }
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING && !stopRequested) {
            if (streamEnded) {
                stopRequested = true;
                break;
            }
            alSourcePlay(source);
        }
        SDL_Delay(PollMilliseconds);
    }
}
