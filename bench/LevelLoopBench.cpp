// Level play frame by frame, headless: ten seconds of level 14 at 60 frames per second from its
// set-up, with the ship shielded for the whole spell, turning and firing all the time, so the
// asteroids break up around it and power-ups fall as in play. Time is driven, the calendar is
// fixed, so every episode plays the same frames. One benchmark times the level loop's own work
// outside drawing (input, re-seed and power-up, frame time, updates, collisions, purge, lives,
// completion, controls); the other the whole frame with a GL that does nothing, which adds the
// processor's side of drawing every object and the HUD.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <memory>

#include "app/Clock.h"
#include "app/Input.h"
#include "audio/OggVorbis.h"
#include "bench/KeptValues.h"
#include "game/GameFlow.h"
#include "game/GameRecord.h"
#include "game/LevelLoop.h"
#include "tests/support/DrivenTime.h"
#include "tests/support/NullGL.h"
#include "world/ObjectList.h"
#include "world/ShipObject.h"

namespace {

constexpr int FramesPerEpisode = 600;
constexpr double FrameMilliseconds = 1000.0 / 60.0;

// Everything level play reads, made once per benchmark run.
class BenchGame {
public:
    BenchGame() {
        NullGL::Install();
        SDL_InitSubSystem(SDL_INIT_EVENTS);
        SetUpLevelTable();
        GameSession = &session;
        GlobalClock = CreateClock();
        GameMusic = new OggVorbis;  // no stream: silent
    }
    ~BenchGame() {
        delete GameMusic;
        delete GlobalClock;
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
        NullGL::Uninstall();
    }

    // A fresh level 14 with the controls held.
    void StartEpisode() {
        ObjectList = new ObjectListRecord;
        ObjectList->clock = GlobalClock;
        session = GameSessionRecord{};
        CurrentLevel = 14;
        level = SetUpLevel();
        play = std::make_unique<LevelPlay>(*level);
        session.ship->invulnerableTime = 1e9f;
        KeyState[KeySpace] = HeldBit;
        KeyState[KeyLeft] = HeldBit;
    }

    void EndEpisode() {
        play->Finish();
        play.reset();
        level.reset();
        delete ObjectList;
        ObjectList = nullptr;
    }

    KeptPlayState kept;  // first, so it is put back last
    DrivenTime time;
    GameSessionRecord session;
    std::unique_ptr<Level> level;
    std::unique_ptr<LevelPlay> play;
};

template <bool WithDrawing>
void RunEpisodes(benchmark::State& state) {
    BenchGame game;
    int64_t frames = 0;
    int64_t objects = 0;
    int64_t shots = 0;
    int64_t hits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        game.StartEpisode();
        state.ResumeTiming();
        for (int frame = 0; frame < FramesPerEpisode; ++frame) {
            if (WithDrawing) {
                game.play->PlayFrame();
            } else {
                PumpInput();
                TakeInputSnapshot();
                game.play->ReseedAndDropPowerUp();
                game.play->AdvanceWorld();
                game.play->ApplyControls();
            }
            objects += ObjectList->Count();
            game.time.AdvanceMilliseconds(FrameMilliseconds);
        }
        frames += FramesPerEpisode;
        shots += game.level->shotsFired;
        hits += AsteroidsShot;
        state.PauseTiming();
        game.EndEpisode();
        state.ResumeTiming();
    }
    state.counters["per_frame"] = benchmark::Counter(
        static_cast<double>(frames), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["objects_per_frame"] =
        static_cast<double>(objects) / static_cast<double>(frames);
    state.counters["shots_per_episode"] =
        benchmark::Counter(static_cast<double>(shots), benchmark::Counter::kAvgIterations);
    state.counters["hits_per_episode"] =
        benchmark::Counter(static_cast<double>(hits), benchmark::Counter::kAvgIterations);
}

void BM_LevelFrameOutsideDrawing(benchmark::State& state) {
    RunEpisodes<false>(state);
}
BENCHMARK(BM_LevelFrameOutsideDrawing)->Unit(benchmark::kMillisecond);

void BM_LevelFrameWithNullGL(benchmark::State& state) {
    RunEpisodes<true>(state);
}
BENCHMARK(BM_LevelFrameWithNullGL)->Unit(benchmark::kMillisecond);

}  // namespace
