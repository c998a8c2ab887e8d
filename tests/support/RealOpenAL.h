#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "audio/ALEntryPoints.h"

// The real OpenAL Soft, loaded through the game's own loader, with its wave writer mixing
// everything the device plays into a WAV file in a temporary folder: 16-bit stereo at
// 44100 Hz, written in real time. The library reads its configuration once, so there is one
// per process and it stays loaded.
class RealOpenAL {
public:
    // Null, with a message for the test's output, when the library cannot be loaded.
    static RealOpenAL* Get();

    // Publishes the real table again (other tests may have replaced it) and opens the device
    // and context as the game does; the wave writer starts a fresh file.
    bool OpenDevice();
    // Closes the device and returns everything it wrote, interleaved left and right.
    std::vector<int16_t> CloseDevice();

    static std::string LoadError();

private:
    RealOpenAL() = default;
    static RealOpenAL* Load();

    ALTable table;  // the real entry points, as loaded
};

constexpr int RealOutputRate = 44100;
