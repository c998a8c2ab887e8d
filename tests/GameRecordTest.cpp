#include <gtest/gtest.h>

#include <climits>

#include "game/GameRecord.h"
#include "settings/SettingsValues.h"

TEST(LevelTable, HoldsEachLevelsAsteroidSpeedAndCount) {
    SetUpLevelTable();
    const int32_t rows[LevelCount][2] = {{3, 1},  {4, 2},  {4, 3},  {4, 5},  {5, 7},
                                         {5, 7},  {5, 7},  {6, 7},  {6, 8},  {6, 10},
                                         {7, 10}, {7, 12}, {8, 12}, {8, 13}, {8, 1}};
    for (int level = 1; level <= LevelCount; ++level) {
        EXPECT_EQ(LevelRowFor(level).asteroidSpeed, rows[level - 1][0]) << level;
        EXPECT_EQ(LevelRowFor(level).asteroidCount, rows[level - 1][1]) << level;
    }
    EXPECT_EQ(&LevelRowFor(99), &LevelTable.back()) << "never read beyond the table";
}

TEST(SettingsValues, OddValuesDimLikeLowAndTheWidestScoreFitsItsLine) {
    EXPECT_EQ(BrightnessFactor(-7), 0.5f);
    HighScore = INT_MIN;
    FormatNewHighScoreText();
    EXPECT_STREQ(HighScoreText, "High Score: -2147483648");
    FormatHighScoreText();
    EXPECT_STREQ(HighScoreText, "High Score:-2147483648");
}
