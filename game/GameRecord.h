#pragma once
#include <array>
#include <cstdint>
#include <memory>

#include "app/Clock.h"

class ShipObject;

// The game being played: one record for the whole run, reset by every new game.
struct GameSessionRecord {
    uint32_t score = 0;          // points of this game
    bool shipActive = false;     // the ship is in play and takes the player's controls
    ShipObject* ship = nullptr;  // lives in the object list; null while waiting for a new ship
    int32_t lives = 3;           // the game is lost when this falls below 0
    Clock* clock = nullptr;      // the global clock
    uint32_t extraLives = 0;     // extra lives granted so far, one per 500000 points
};

constexpr int32_t StartingLives = 3;
constexpr uint32_t PointsPerExtraLife = 500000;

// The level in play: created by the level set-up, deleted when the level is over.
struct Level {
    uint16_t number = 1;           // 1 to 15
    std::unique_ptr<Clock> clock;  // the level's own clock
    int32_t shotsFired = 0;        // shots that left the ship in this level
};

extern GameSessionRecord* GameSession;
extern uint16_t CurrentLevel;     // the level being played or next to play
extern uint32_t LevelScore;       // points earned in the current level
extern uint32_t LevelStartScore;  // the game's score when the current level began
extern int32_t AsteroidsShot;     // asteroids destroyed by projectiles in the current level

// One row of the level table: how fast the level's asteroids move and how many start.
struct LevelRow {
    int32_t asteroidSpeed = 0;
    int32_t asteroidCount = 0;
};

constexpr int LevelCount = 15;
constexpr int FinalLevel = 15;  // the huge asteroid; its row's count is never used

// Row n - 1 holds level n. Filled once at start-up, never changed.
extern std::array<LevelRow, LevelCount> LevelTable;

void SetUpLevelTable();

// The row of a level, with levels outside 1..15 taken as the nearest real one.
const LevelRow& LevelRowFor(int level);
