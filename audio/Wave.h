#pragma once
#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/ALEntryPoints.h"
#include "audio/SoundClip.h"

// What a RIFF/WAVE file holds for the game: which headers and chunks were found, the OpenAL
// sample format its "fmt " chunk asks for, and where its samples lie in the file's bytes.
struct WaveLayout {
    bool riffSeen = false;  // a "RIFF" chunk of form "WAVE"
    bool fmtSeen = false;   // a "fmt " chunk of at least 16 bytes
    bool dataSeen = false;  // a "data" chunk after the "fmt " chunk
    uint16_t channels = 0;
    uint16_t bitsPerSample = 0;
    ALenum format = 0;       // AL_FORMAT_MONO8 ... AL_FORMAT_STEREO16, or 0 when unsupported
    uint32_t frequency = 0;  // samples per second
    size_t dataOffset = 0;   // the samples of the last "data" chunk
    size_t dataSize = 0;     // in bytes: whole sample frames, no more than the file holds

    // The game plays the clip only when all of this holds; OpenAL would refuse anything else.
    bool Playable() const {
        return riffSeen && fmtSeen && dataSeen && format != 0 && frequency > 0 &&
               frequency <= INT32_MAX && dataSize <= INT32_MAX;
    }
};

// The OpenAL format for a channel count and sample width: 1 or 2 channels of 8 or 16 bits;
// 0 for anything else.
ALenum WaveSampleFormat(uint16_t channels, uint16_t bitsPerSample);

// Walks the chunks of a RIFF/WAVE file held in memory. Never reads outside the bytes: a chunk
// that claims more than the file holds is cut to what is there, the pad byte after an odd-sized
// chunk is skipped unless a known chunk ("fmt ", "data", "LIST", "RIFF") starts right there, and
// a "data" chunk counts only after a "fmt " chunk (the last one wins).
WaveLayout ParseWave(const uint8_t* bytes, size_t size);

// A short sound effect held whole in one OpenAL buffer on its own source. Play and Stop obey
// the "Sound" setting at the moment of the call.
class Wave : public SoundClip {
public:
    ~Wave() override;

    // False only when the file cannot be read; a file the game cannot play leaves the clip
    // unloaded and silent.
    bool Load(const char* path) override;
    // Starts the clip from its beginning, restarting it if it is already playing.
    void Play(bool loop) override;
    void Stop() override;
    // The samples stay with the clip, so that it can be uploaded to a new device.
    void LeaveDevice() override;
    void JoinDevice() override;

    bool Loaded() const { return loaded; }

private:
    void Release();
    void ReleaseDeviceObjects();
    void MakeDeviceObjects();

    bool looping = false;
    bool loopPlaying = false;  // played looping and not stopped since
    ALenum format = 0;
    int32_t frequency = 0;
    bool loaded = false;
    std::vector<uint8_t> samples;  // the "data" chunk, kept while loaded
    ALuint source = 0;             // 0 while no source exists
    ALuint buffer = 0;
};
