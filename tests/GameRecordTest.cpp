#include <gtest/gtest.h>

#include "app/Program.h"
#include "game/GameRecord.h"
#include "settings/SettingsValues.h"

TEST(LevelTable, HoldsTheFifteenLevels) {
    SetUpLevelTable();
    const int speeds[LevelCount] = {3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 8, 8, 8};
    const int counts[LevelCount] = {1, 2, 3, 5, 7, 7, 7, 7, 8, 10, 10, 12, 12, 13, 1};
    for (int level = 1; level <= LevelCount; ++level) {
        EXPECT_EQ(LevelRowFor(level).asteroidSpeed, speeds[level - 1]) << level;
        EXPECT_EQ(LevelRowFor(level).asteroidCount, counts[level - 1]) << level;
    }
    EXPECT_EQ(&LevelRowFor(0), &LevelRowFor(1)) << "out-of-range levels read a real row";
    EXPECT_EQ(&LevelRowFor(99), &LevelRowFor(FinalLevel));
}

TEST(GameSession, StartsWithThreeLivesAndNoShip) {
    GameSessionRecord session;
    EXPECT_EQ(session.score, 0u);
    EXPECT_EQ(session.lives, StartingLives);
    EXPECT_EQ(session.ship, nullptr);
    EXPECT_FALSE(session.shipActive);
    EXPECT_EQ(session.extraLives, 0u);
}

TEST(SettingsValues, BrightnessAndHighScoreText) {
    EXPECT_EQ(BrightnessFactor(0), 1.0f);
    EXPECT_EQ(BrightnessFactor(1), 0.75f);
    EXPECT_EQ(BrightnessFactor(2), 0.5f);
    EXPECT_EQ(BrightnessFactor(-7), 0.5f);

    HighScore = 2147483647;
    FormatNewHighScoreText();
    EXPECT_STREQ(HighScoreText, "High Score: 2147483647");
    HighScore = -5;
    FormatHighScoreText();
    EXPECT_STREQ(HighScoreText, "High Score:-5");
}

TEST(MenuCodes, OnlyQuitLeavesAndSixteenClearsTheHighScore) {
    HighScore = 1234;
    FormatHighScoreText();
    EXPECT_TRUE(HandleMenuCode(MenuShowAgain));
    EXPECT_TRUE(HandleMenuCode(99));
    EXPECT_TRUE(HandleMenuCode(-1));
    EXPECT_EQ(HighScore, 1234);
    EXPECT_TRUE(HandleMenuCode(MenuClearHighScore));
    EXPECT_EQ(HighScore, 0);
    EXPECT_STREQ(HighScoreText, "High Score:0");
    EXPECT_FALSE(HandleMenuCode(MenuQuit));
}
