#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Writers of the two sound file formats the game reads. The forge makes the game's sounds with
// them and the tests make their sample files; the same input always gives the same bytes.

// Appends one RIFF chunk: its four-character id, its 32-bit size, the body and, after an odd
// size, the pad byte.
void AppendRiffChunk(std::vector<uint8_t>& file, const char* id, const void* body, size_t size);

// A RIFF/WAVE file of 16-bit PCM: interleaved samples, 1 or 2 channels.
std::vector<uint8_t> EncodeWave(const std::vector<int16_t>& samples, int channels, int rate);

// Converts samples in [-1, 1] to 16-bit PCM, clamping anything beyond.
std::vector<int16_t> ToPcm16(const std::vector<float>& samples);

// An Ogg Vorbis stream of interleaved samples in [-1, 1] at a variable-bitrate quality
// (-0.1 to 1.0) with a TITLE comment. The decoded stream has exactly as many samples as given,
// so a stream written to loop plays back seamlessly. False when libvorbisenc refuses the
// channel count, rate or quality.
bool EncodeOggVorbis(const std::vector<float>& interleaved, int channels, long rate, float quality,
                     const char* title, std::vector<uint8_t>& out);
