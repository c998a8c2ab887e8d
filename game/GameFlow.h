#pragma once
#include <cstdint>
#include <memory>

#include "game/GameRecord.h"
#include "world/BaseObject.h"

// Where a level's large asteroid starts: a random point of the field (x then y from rand) pushed
// 5 units further from the vertical centre line when it lies within 7 of it, so that none starts
// closer than 5.5 to the ship's place.
Vec3 AsteroidStartPosition();

// The final level's huge asteroid starts in the top-right corner, drifting towards the bottom
// left and turning fast.
constexpr Vec3 HugeAsteroidStart{35.0f, 25.0f, PlayFieldZ};
constexpr Vec3 HugeAsteroidDrift{-1.15f, -0.85f, 0.0f};
constexpr float HugeAsteroidSpin = 270.0f;

// The level CurrentLevel with its asteroids added to the object list: the row's count of large
// asteroids below the final level, the one huge asteroid from it on. Reseeds the random
// generator with the calendar time and starts the level's score counters.
std::unique_ptr<Level> SetUpLevel();

// Plays one game: 0 starts a new game with the opening story and level 1, 1 to 15 start at that
// level. Levels follow one another until one is lost or abandoned (game over) or the final one
// is completed (game win); the credits end every game. A quit request cuts the screen it comes
// in short and ends the game as if its level was abandoned there.
void RunGame(uint16_t startLevel);
