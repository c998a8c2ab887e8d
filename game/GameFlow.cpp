#include "game/GameFlow.h"

#include <cstdlib>

#include "app/Input.h"
#include "app/Platform.h"
#include "audio/ShipSounds.h"
#include "game/LevelLoop.h"
#include "game/LevelScreens.h"
#include "game/StoryScreens.h"
#include "platform/System.h"
#include "world/AsteroidObject.h"
#include "world/HugeAsteroidObject.h"
#include "world/LargeAsteroidObject.h"
#include "world/ObjectList.h"

namespace {

constexpr float CentreStripHalfWidth = 7.0f;
constexpr float CentrePush = 5.0f;

void StopThrustSound() {
    if (ThrustSound != nullptr) {
        ThrustSound->Stop();
    }
}

}  // namespace

Vec3 AsteroidStartPosition() {
    Vec2 point = RandomFieldPoint();
    if (point.x > -CentreStripHalfWidth && point.x < CentreStripHalfWidth) {
        point.x += point.x < 0.0f ? -CentrePush : CentrePush;
    }
    return Vec3{point.x, point.y, PlayFieldZ};
}

std::unique_ptr<Level> SetUpLevel() {
    auto level = std::make_unique<Level>();
    level->number = CurrentLevel;
    level->clock.reset(CreateClock());
    std::srand(static_cast<unsigned>(Platform.calendarTime()));
    LevelScore = 0;
    LevelStartScore = GameSession->score;
    if (level->number >= FinalLevel) {
        ObjectList->AddObject(
            new HugeAsteroidObject(HugeAsteroidDrift, HugeAsteroidStart, HugeAsteroidSpin));
        return level;
    }
    const LevelRow& row = LevelRowFor(level->number);
    for (int32_t i = 0; i < row.asteroidCount; ++i) {
        float spin = RandomAsteroidSpin();
        Vec3 velocity = RandomAsteroidVelocity(row.asteroidSpeed);
        Vec3 position = AsteroidStartPosition();
        ObjectList->AddObject(new LargeAsteroidObject(velocity, position, spin));
    }
    return level;
}

void RunGame(uint16_t startLevel) {
    if (startLevel == 0) {
        ShowStoryIntro();
        ShowFlightFrame(0);
        CurrentLevel = 1;
    } else {
        CurrentLevel = startLevel;
    }
    bool won = false;
    GameSession->score = 0;
    GameSession->lives = StartingLives;
    GameSession->ship = nullptr;
    GameSession->shipActive = false;
    GameSession->extraLives = 0;
    ObjectList = new ObjectListRecord;
    ObjectList->clock = GlobalClock;

    // A quit request ends the game after the screen it cut short; its score still counts.
    bool playing = true;
    while (playing && !QuitRequested()) {
        // Whatever input piled up before the level is consumed here.
        PumpInput();
        TakeInputSnapshot();
        std::unique_ptr<Level> level = SetUpLevel();
        ObjectList->previousTime = 0.0f;
        ObjectList->currentTime = 0.0f;
        if (CurrentLevel == 5) {
            ShowFlightFrame(1);
        } else if (CurrentLevel == 10) {
            ShowFlightFrame(2);
        }
        ShowLevelBanner(*level);
        bool completed = PlayLevel(*level);
        StopThrustSound();
        if (!completed) {
            playing = false;
        } else if (CurrentLevel >= FinalLevel) {
            won = true;
            playing = false;
        } else {
            ShowLevelSummary(*level);
            CurrentLevel += 1;
        }
        // The ship flies on into the next level with its weapon.
        ClearField(true);
    }
    ClearField(false);
    ObjectList->ClearWorldList();
    delete ObjectList;
    ObjectList = nullptr;
    GameSession->ship = nullptr;  // it went with the list

    if (won) {
        ShowGameWin();
    } else {
        ShowGameOver();
    }
    ShowCredits();
}
