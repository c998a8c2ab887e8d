#include "game/GameRecord.h"

GameSessionRecord* GameSession = nullptr;
uint16_t CurrentLevel = 1;
uint32_t LevelScore = 0;
uint32_t LevelStartScore = 0;
int32_t AsteroidsShot = 0;
std::array<LevelRow, LevelCount> LevelTable;

void SetUpLevelTable() {
    LevelTable = {{
        {3, 1},
        {4, 2},
        {4, 3},
        {4, 5},
        {5, 7},
        {5, 7},
        {5, 7},
        {6, 7},
        {6, 8},
        {6, 10},
        {7, 10},
        {7, 12},
        {8, 12},
        {8, 13},
        {8, 1},
    }};
}

const LevelRow& LevelRowFor(int level) {
    if (level < 1) {
        level = 1;
    }
    if (level > LevelCount) {
        level = LevelCount;
    }
    return LevelTable[level - 1];
}
