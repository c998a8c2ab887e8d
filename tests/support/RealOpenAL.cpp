#include "tests/support/RealOpenAL.h"

#include <SDL.h>

#include <cstdlib>

#include "audio/AudioDevice.h"
#include "audio/Wave.h"
#include "tests/support/TempFolder.h"

namespace {

std::string LoadErrorText;

// The wave writer's configuration and output, in a folder that goes when the process ends.
const TempFolder& OutputFolder() {
    static TempFolder folder;
    return folder;
}

}  // namespace

RealOpenAL* RealOpenAL::Load() {
    const TempFolder& folder = OutputFolder();
    std::string config =
        "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\nfrequency=" +
        std::to_string(RealOutputRate) +
        "\nhrtf=false\ndither=false\noutput-limiter=false\n[wave]\nfile=" + folder.Path() +
        "/output.wav\n";
    folder.Write("alsoft.conf", std::vector<uint8_t>(config.begin(), config.end()));
    setenv("ALSOFT_CONF", (folder.Path() + "/alsoft.conf").c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");

    ALLibrary = SDL_LoadObject(ALLibraryName);
    if (ALLibrary == nullptr) {
        LoadErrorText = std::string("cannot load ") + ALLibraryName + ": " + SDL_GetError();
        return nullptr;
    }
    ClearPublishedALEntryPoints();
    if (LoadALEntryPoints() != ALEntryPointsLoadedOk) {
        LoadErrorText = std::string("OpenAL lacks ") + MissingALEntryPoint();
        return nullptr;
    }
    PublishALEntryPoints();
    RealOpenAL* real = new RealOpenAL;
    real->table = PublishedAL;
    return real;
}

RealOpenAL* RealOpenAL::Get() {
    static RealOpenAL* real = Load();
    return real;
}

std::string RealOpenAL::LoadError() {
    return LoadErrorText;
}

bool RealOpenAL::OpenDevice() {
    PublishedAL = table;
    return OpenAudioDevice();
}

std::vector<int16_t> RealOpenAL::CloseDevice() {
    CloseAudioDevice();
    std::vector<int16_t> samples;
    std::vector<uint8_t> bytes = OutputFolder().Read("output.wav");
    WaveLayout layout = ParseWave(bytes.data(), bytes.size());
    if (layout.format != AL_FORMAT_STEREO16 || !layout.dataSeen) {
        return samples;
    }
    samples.resize(layout.dataSize / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        const uint8_t* at = bytes.data() + layout.dataOffset + 2 * i;
        samples[i] = static_cast<int16_t>(at[0] | at[1] << 8);
    }
    return samples;
}
