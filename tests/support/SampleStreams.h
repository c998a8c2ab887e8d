#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Sound data for the sound tests, made on the spot, and what they need to watch a stream.

// A sine tone at a steady amplitude, the same on every channel, interleaved.
std::vector<float> Tone(double hz, double seconds, int channels, int rate, float amplitude);

// The samples encoded as an Ogg Vorbis file at a middling variable-bitrate quality.
std::vector<uint8_t> OggOf(const std::vector<float>& samples, int channels, int rate);

// Buffers of 16-bit samples, as OpenAL was handed them, one after another.
std::vector<int16_t> Samples16(const std::vector<std::vector<uint8_t>>& buffers);

// Every 16-bit sample of an Ogg Vorbis file, decoded as the game decodes it; empty when the
// file does not open.
std::vector<int16_t> DecodeOgg(const std::string& path);

// Waits for a streaming thread to reach a state; false after ten seconds, which only a thread
// that never gets there takes.
bool WaitFor(const std::function<bool()>& reached);
