#pragma once
#include <cstdint>

#include "game/GameRecord.h"

// The timed screens around the levels. None of them reads input or can be skipped; a quit
// request cuts them short.

constexpr float BannerMilliseconds = 2000.0f;
constexpr float EndScreenSeconds = 5.0f;  // the game-win screen shows two such spells
constexpr uint32_t BonusPointsPerFrame = 1000;
constexpr const char* GameOverPicturePath = "textures/story/gameover.tga";
constexpr const char* GameWinPicturePath = "textures/gameplay/gamewin.tga";
constexpr bool EndPicturesMipmapped = false;  // both of them

// Asteroids destroyed by projectiles per shot fired; 0 when nothing was fired. It can exceed 1,
// since a spread shot counts once.
float LevelAccuracy(int32_t asteroidsShot, int32_t shotsFired);

// The level's points times its accuracy, truncated (and held within the score's range).
uint32_t AccuracyBonus(uint32_t levelScore, float accuracy);

// "Level: N" over the start emblem for two seconds of the global clock, which keeps running.
void ShowLevelBanner(const Level& level);

// After a completed level: the level's figures line by line, one a second, then the accuracy
// bonus counted into the score at up to 1000 points a frame (with an extra life at each multiple
// of 500000 crossed), and five seconds more.
void ShowLevelSummary(const Level& level);

// The game's score becomes the high score when it beats it (an equal score does not); true
// when it did. Nothing is saved here.
bool TakeScoreAsHighScore();

// The end of a lost or abandoned game: its picture fades in over one second and stays for five
// in all; a score above the high score becomes the new high score, is saved at once and shown.
void ShowGameOver();

// The end of a won game: the picture fades in over five seconds and stays five more, with the new
// high score when there is one.
void ShowGameWin();
