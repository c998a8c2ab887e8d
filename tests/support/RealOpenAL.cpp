#include "tests/support/RealOpenAL.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/AssetFiles.h"
#include "audio/AudioDevice.h"
#include "audio/Wave.h"

namespace {

std::string& LoadErrorText() {
    static std::string text;
    return text;
}

std::string& TemporaryFolder() {
    static std::string folder;
    return folder;
}

void RemoveTemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(TemporaryFolder(), ignored);
}

}  // namespace

RealOpenAL* RealOpenAL::Load() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "cataclysm-openal-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        LoadErrorText() = "cannot make a temporary folder";
        return nullptr;
    }
    std::string folder = name.data();
    TemporaryFolder() = folder;
    std::atexit(RemoveTemporaryFolder);
    std::string output = folder + "/output.wav";
    std::string config = folder + "/alsoft.conf";
    FILE* file = std::fopen(config.c_str(), "w");
    if (file == nullptr) {
        LoadErrorText() = "cannot write " + config;
        return nullptr;
    }
    std::fprintf(file,
                 "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\n"
                 "frequency=%d\nhrtf=false\ndither=false\noutput-limiter=false\n"
                 "[wave]\nfile=%s\n",
                 RealOutputRate, output.c_str());
    std::fclose(file);
    setenv("ALSOFT_CONF", config.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");

    ALLibrary = SDL_LoadObject(ALLibraryName);
    if (ALLibrary == nullptr) {
        LoadErrorText() = std::string("cannot load ") + ALLibraryName + ": " + SDL_GetError();
        return nullptr;
    }
    ClearPublishedALEntryPoints();
    if (LoadALEntryPoints() != ALEntryPointsLoadedOk) {
        LoadErrorText() = std::string("OpenAL lacks ") + MissingALEntryPoint();
        return nullptr;
    }
    PublishALEntryPoints();
    RealOpenAL* real = new RealOpenAL;
    real->table = PublishedAL;
    real->outputPath = output;
    return real;
}

RealOpenAL* RealOpenAL::Get() {
    static RealOpenAL* real = Load();
    return real;
}

std::string RealOpenAL::LoadError() {
    return LoadErrorText();
}

bool RealOpenAL::OpenDevice() {
    PublishedAL = table;
    return OpenAudioDevice();
}

std::vector<int16_t> RealOpenAL::CloseDevice() {
    CloseAudioDevice();
    std::vector<int16_t> samples;
    FILE* file = std::fopen(outputPath.c_str(), "rb");
    if (file == nullptr) {
        return samples;
    }
    std::vector<uint8_t> bytes;
    ReadWholeStream(file, bytes);
    std::fclose(file);
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
