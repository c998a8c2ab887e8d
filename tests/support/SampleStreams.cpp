#include "tests/support/SampleStreams.h"

#include <SDL.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>

#include "tools/forge/SoundEncoding.h"
#include "tools/forge/Synth.h"

std::vector<float> Tone(double hz, double seconds, int channels, int rate, float amplitude) {
    const size_t frames = static_cast<size_t>(seconds * rate + 0.5);
    std::vector<float> samples(frames * channels);
    for (size_t frame = 0; frame < frames; ++frame) {
        float value = amplitude * static_cast<float>(std::sin(2.0 * Pi * hz * frame / rate));
        for (int channel = 0; channel < channels; ++channel) {
            samples[frame * channels + channel] = value;
        }
    }
    return samples;
}

std::vector<uint8_t> OggOf(const std::vector<float>& samples, int channels, int rate) {
    std::vector<uint8_t> stream;
    EncodeOggVorbis(samples, channels, rate, 0.4f, "test", stream);
    return stream;
}

std::vector<int16_t> Samples16(const std::vector<std::vector<uint8_t>>& buffers) {
    std::vector<int16_t> samples;
    for (const std::vector<uint8_t>& buffer : buffers) {
        const int16_t* words = reinterpret_cast<const int16_t*>(buffer.data());
        samples.insert(samples.end(), words, words + buffer.size() / 2);
    }
    return samples;
}

std::vector<int16_t> DecodeOgg(const std::string& path) {
    std::vector<int16_t> samples;
    OggVorbis_File decoder;
    if (ov_fopen(path.c_str(), &decoder) < 0) {
        return samples;
    }
    char chunk[4096];
    int bitstream = 0;
    long got;
    while ((got = ov_read(&decoder, chunk, sizeof chunk, 0, 2, 1, &bitstream)) != 0) {
        if (got < 0) {
            continue;
        }
        const int16_t* words = reinterpret_cast<const int16_t*>(chunk);
        samples.insert(samples.end(), words, words + got / 2);
    }
    ov_clear(&decoder);
    return samples;
}

bool WaitFor(const std::function<bool()>& reached) {
    for (int waited = 0; waited < 10000; waited += 2) {
        if (reached()) {
            return true;
        }
        SDL_Delay(2);
    }
    return reached();
}
