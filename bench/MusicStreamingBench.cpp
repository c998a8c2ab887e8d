// How much of one core the music streaming thread takes while the level music plays, through
// real OpenAL Soft on its null device. Reported as the counter cpu_percent.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <dirent.h>

#include "app/AssetFiles.h"
#include "audio/ALEntryPoints.h"
#include "audio/AudioDevice.h"
#include "audio/OggVorbis.h"
#include "bench/KeptValues.h"
#include "platform/System.h"
#include "settings/SettingsValues.h"

namespace {

constexpr Uint32 PlayMilliseconds = 10000;

// Nanoseconds the thread named "music-stream" has run so far, from the kernel's scheduler
// statistics; -1 when no such thread exists.
double StreamingThreadNanoseconds() {
    DIR* tasks = opendir("/proc/self/task");
    double nanoseconds = -1.0;
    while (dirent* task = tasks != nullptr ? readdir(tasks) : nullptr) {
        std::string folder = std::string("/proc/self/task/") + task->d_name;
        std::string name;
        std::getline(std::ifstream(folder + "/comm"), name);
        if (name == "music-stream") {
            std::ifstream(folder + "/schedstat") >> nanoseconds;
        }
    }
    if (tasks != nullptr) {
        closedir(tasks);
    }
    return nanoseconds;
}

// Real OpenAL Soft on its null device, for as long as the benchmark runs; afterwards the
// library is gone again and the environment and the "Sound" setting are as they were.
class NullAudio {
public:
    NullAudio() {
        const char* drivers = std::getenv("ALSOFT_DRIVERS");
        hadDrivers = drivers != nullptr;
        savedDrivers = hadDrivers ? drivers : "";
        setenv("ALSOFT_DRIVERS", "null", 1);
        ALLibrary = SDL_LoadObject(ALLibraryName);
        if (ALLibrary == nullptr || LoadALEntryPoints() != ALEntryPointsLoadedOk) {
            return;
        }
        PublishALEntryPoints();
        open = OpenAudioDevice();
    }
    ~NullAudio() {
        if (open) {
            CloseAudioDevice();
        }
        ClearPublishedALEntryPoints();
        ClearStagedALEntryPoints();
        if (ALLibrary != nullptr) {
            SDL_UnloadObject(ALLibrary);
            ALLibrary = nullptr;
        }
        if (hadDrivers) {
            setenv("ALSOFT_DRIVERS", savedDrivers.c_str(), 1);
        } else {
            unsetenv("ALSOFT_DRIVERS");
        }
    }

    bool open = false;

private:
    KeepValue<bool> sound{SoundEnabled};
    bool hadDrivers = false;
    std::string savedDrivers;
};

void MusicStreamingCpu(benchmark::State& state) {
    KeptAssetRoot root;
    if (!SetUpAssetRoot()) {
        state.SkipWithError("no asset root beside the benchmark");
        return;
    }
    NullAudio audio;
    if (!audio.open) {
        state.SkipWithError("no OpenAL device");
        return;
    }
    SoundEnabled = true;
    double used = 0.0;
    {
        OggVorbis music;  // gone before the device closes
        if (!music.Load("sound/music/BC_upbeat-tech.ogg")) {
            state.SkipWithError("the level music is missing; build the assets first");
            return;
        }
        for (auto _ : state) {
            music.Play(true);
            SDL_Delay(PlayMilliseconds);
            used = StreamingThreadNanoseconds();
            music.Stop();
        }
    }
    state.counters["cpu_percent"] = used / (PlayMilliseconds * 1e6) * 100.0;
}

BENCHMARK(MusicStreamingCpu)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
