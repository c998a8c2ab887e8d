#include "audio/Wave.h"

#include <cstring>
#include <vector>

#include "app/AssetFiles.h"
#include "settings/SettingsValues.h"

namespace {

constexpr size_t ChunkIdBytes = 4;
constexpr size_t ChunkSizeBytes = 4;
constexpr uint32_t FormatFieldBytes = 16;  // the part of "fmt " the game reads

uint16_t ReadU16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | at[1] << 8);
}

uint32_t ReadU32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

bool IdIs(const uint8_t* at, const char* id, size_t length) {
    return std::memcmp(at, id, length) == 0;
}

// Whether the bytes from `at` begin a chunk the reader knows. Writers that follow RIFF pad an
// odd-sized chunk with one byte; others put the next chunk right after it, so the byte after an
// odd chunk is taken as padding only when no known chunk starts there.
bool KnownChunkStartsAt(const uint8_t* bytes, size_t size, size_t at) {
    if (size - at < ChunkIdBytes) {
        return false;
    }
    const uint8_t* id = bytes + at;
    return IdIs(id, "fmt", 3) || IdIs(id, "data", 4) || IdIs(id, "LIST", 4) || IdIs(id, "RIFF", 4);
}

// The sample layout of the most recent "fmt " chunk.
struct FormatFields {
    uint16_t channels = 0;
    uint16_t bitsPerSample = 0;
    ALenum format = 0;
    uint32_t frequency = 0;
};

void TakeFormat(WaveLayout& layout, const FormatFields& fields) {
    layout.channels = fields.channels;
    layout.bitsPerSample = fields.bitsPerSample;
    layout.format = fields.format;
    layout.frequency = fields.frequency;
}

}  // namespace

ALenum WaveSampleFormat(uint16_t channels, uint16_t bitsPerSample) {
    if (channels == 1 && bitsPerSample == 8) {
        return AL_FORMAT_MONO8;
    }
    if (channels == 1 && bitsPerSample == 16) {
        return AL_FORMAT_MONO16;
    }
    if (channels == 2 && bitsPerSample == 8) {
        return AL_FORMAT_STEREO8;
    }
    if (channels == 2 && bitsPerSample == 16) {
        return AL_FORMAT_STEREO16;
    }
    return 0;
}

WaveLayout ParseWave(const uint8_t* bytes, size_t size) {
    WaveLayout layout;
    FormatFields current;
    size_t at = 0;
    while (size - at >= ChunkIdBytes) {
        const uint8_t* id = bytes + at;
        at += ChunkIdBytes;
        if (IdIs(id, "RIFF", 4)) {
            // The RIFF chunk is entered, not skipped: its own chunks come next.
            if (size - at < ChunkSizeBytes + 4) {
                break;
            }
            layout.riffSeen = layout.riffSeen || IdIs(bytes + at + ChunkSizeBytes, "WAVE", 4);
            at += ChunkSizeBytes + 4;
            continue;
        }
        if (size - at < ChunkSizeBytes) {
            break;
        }
        uint32_t declared = ReadU32(bytes + at);
        at += ChunkSizeBytes;
        size_t body = declared < size - at ? declared : size - at;
        if (IdIs(id, "fmt", 3)) {
            if (body < FormatFieldBytes) {
                break;  // too short to say what the samples are
            }
            const uint8_t* fields = bytes + at;
            current.channels = ReadU16(fields + 2);
            current.frequency = ReadU32(fields + 4);
            current.bitsPerSample = ReadU16(fields + 14);
            current.format = WaveSampleFormat(current.channels, current.bitsPerSample);
            layout.fmtSeen = true;
        } else if (IdIs(id, "data", 4) && layout.fmtSeen) {
            // The samples take the format known at this point; a later "data" chunk replaces
            // them. A cut chunk keeps only whole sample frames.
            TakeFormat(layout, current);
            size_t frameBytes =
                current.format != 0 ? size_t{current.channels} * (current.bitsPerSample / 8) : 1;
            layout.dataSeen = true;
            layout.dataOffset = at;
            layout.dataSize = body - body % frameBytes;
        }
        at += body;
        if (declared % 2 == 1 && at < size && !KnownChunkStartsAt(bytes, size, at)) {
            ++at;  // the pad byte that RIFF puts after an odd-sized chunk
        }
    }
    if (!layout.dataSeen) {
        TakeFormat(layout, current);
    }
    return layout;
}

Wave::~Wave() {
    Release();
}

void Wave::ReleaseDeviceObjects() {
    if (source != 0) {
        alDeleteSources(1, &source);
        source = 0;
    }
    if (buffer != 0) {
        alDeleteBuffers(1, &buffer);
        buffer = 0;
    }
}

void Wave::Release() {
    ReleaseDeviceObjects();
    samples.clear();
    loopPlaying = false;
    loaded = false;
}

void Wave::MakeDeviceObjects() {
    alGenSources(1, &source);
    alGenBuffers(1, &buffer);
    alBufferData(buffer, format, samples.data(), static_cast<ALsizei>(samples.size()), frequency);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(source, AL_SOURCE_RELATIVE, 1);
    alSourcef(source, AL_PITCH, 1.0f);
    alSourcef(source, AL_GAIN, 1.0f);
}

bool Wave::Load(const char* path) {
    std::vector<uint8_t> bytes;
    if (!ReadAssetFile(path, bytes)) {
        return false;
    }
    Release();
    WaveLayout layout = ParseWave(bytes.data(), bytes.size());
    format = layout.format;
    // A clip OpenAL would refuse stays silent without a call that could only fail.
    if (!layout.Playable()) {
        return true;
    }
    frequency = static_cast<int32_t>(layout.frequency);
    const uint8_t* data = bytes.data() + layout.dataOffset;
    samples.assign(data, data + layout.dataSize);
    MakeDeviceObjects();
    loaded = true;
    return true;
}

void Wave::Play(bool loop) {
    if (!SoundEnabled || !loaded) {
        return;
    }
    looping = loop;
    loopPlaying = loop;
    alSourcei(source, AL_LOOPING, loop ? 1 : 0);
    alSourcePlay(source);
}

void Wave::Stop() {
    if (!SoundEnabled || source == 0) {
        return;
    }
    loopPlaying = false;
    alSourceStop(source);
}

void Wave::LeaveDevice() {
    ReleaseDeviceObjects();
}

// A one-off effect cut by the lost device is not heard again; a loop (the thrust) goes on.
void Wave::JoinDevice() {
    if (!loaded) {
        return;
    }
    MakeDeviceObjects();
    if (loopPlaying) {
        Play(true);
    }
}
