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

bool OpenNullAudio() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    ALLibrary = SDL_LoadObject(ALLibraryName);
    if (ALLibrary == nullptr || LoadALEntryPoints() != ALEntryPointsLoadedOk) {
        return false;
    }
    PublishALEntryPoints();
    return OpenAudioDevice();
}

void MusicStreamingCpu(benchmark::State& state) {
    if (!SetUpAssetRoot() || !OpenNullAudio()) {
        state.SkipWithError("no asset root or no OpenAL device");
        return;
    }
    SoundEnabled = true;
    OggVorbis music;
    if (!music.Load("sound/music/BC_upbeat-tech.ogg")) {
        state.SkipWithError("the level music is missing; build the assets first");
        return;
    }
    double used = 0.0;
    for (auto _ : state) {
        music.Play(true);
        SDL_Delay(PlayMilliseconds);
        used = StreamingThreadNanoseconds();
        music.Stop();
    }
    CloseAudioDevice();
    state.counters["cpu_percent"] = used / (PlayMilliseconds * 1e6) * 100.0;
}

BENCHMARK(MusicStreamingCpu)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
