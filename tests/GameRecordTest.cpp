#include <gtest/gtest.h>

#include <climits>

#include "app/Program.h"
#include "game/GameRecord.h"
#include "settings/SettingsValues.h"

TEST(LevelTable, LevelsOutsideTheTableReadItsNearestRow) {
    SetUpLevelTable();
    EXPECT_EQ(&LevelRowFor(0), &LevelTable.front());
    EXPECT_EQ(&LevelRowFor(99), &LevelTable.back());
}

TEST(SettingsValues, OddValuesDimLikeLowAndTheWidestScoreFitsItsLine) {
    EXPECT_EQ(BrightnessFactor(-7), 0.5f);
    HighScore = INT_MIN;
    FormatNewHighScoreText();
    EXPECT_STREQ(HighScoreText, "High Score: -2147483648");
    FormatHighScoreText();
    EXPECT_STREQ(HighScoreText, "High Score:-2147483648");
}

TEST(MenuCodes, OnlyQuitLeavesAndSixteenClearsTheHighScore) {
    HighScore = 1234;
    for (MenuCode ignored : {MenuShowAgain, 99, -1}) {
        EXPECT_TRUE(HandleMenuCode(ignored)) << ignored;
    }
    EXPECT_EQ(HighScore, 1234);
    EXPECT_TRUE(HandleMenuCode(MenuClearHighScore));
    EXPECT_EQ(HighScore, 0);
    EXPECT_STREQ(HighScoreText, "High Score:0");
    EXPECT_FALSE(HandleMenuCode(MenuQuit));
}
