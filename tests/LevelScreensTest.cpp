#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "game/LevelScreens.h"
#include "settings/SettingsValues.h"
#include "tests/support/GameScene.h"
#include "tests/support/QuitSignals.h"

// The summary of a completed level and the end screens, at 20 ms a frame.
class LevelScreensTest : public ::testing::Test {
protected:
    LevelScreensTest() {
        level.number = 3;
        level.clock.reset(CreateClock());
    }

    // The summary of a level that earned levelScore, with `shot` asteroids shot in `fired`
    // shots, the session at `score`; each rise of the score while it showed.
    std::vector<uint32_t> Summary(uint32_t score, uint32_t levelScore, int32_t shot,
                                  int32_t fired) {
        scene.frames.clear();
        scene.session.score = score;
        LevelScore = levelScore;
        AsteroidsShot = shot;
        level.shotsFired = fired;
        std::vector<uint32_t> rises;
        scene.step = [&](int) {
            if (scene.session.score != score) {
                rises.push_back(scene.session.score - score);
                score = scene.session.score;
            }
        };
        ShowLevelSummary(level);
        return rises;
    }

    // Runs a screen with a quit request raised after its frame `last` (counted from 0); the
    // frames it showed. The high score saved at each frame lands in savedHighScores.
    size_t FramesUntilQuit(const std::function<void()>& screen, size_t last) {
        QuitSignalsCaught signals;
        scene.frames.clear();
        savedHighScores.clear();
        scene.step = [&](int) {
            savedHighScores.push_back(SavedHighScore());
            if (scene.frames.size() == last + 1) {
                std::raise(last % 2 == 0 ? SIGTERM : SIGINT);
            }
        };
        screen();
        return scene.frames.size();
    }

    double Seconds() const {
        return scene.frames.back().seconds - scene.frames.front().seconds + 0.02;
    }

    GameScene scene;
    Level level;
    std::vector<int32_t> savedHighScores;
};

// The summary's lines come a second apart and the bonus is tallied a thousand a frame, an extra
// life showing in the frame whose points cross a multiple of half a million.
TEST_F(LevelScreensTest, TheSummaryShowsItsLinesASecondApartAndTalliesTheBonusByThousands) {
    scene.session.extraLives = 1;
    LevelStartScore = 16250;
    EXPECT_EQ(Summary(20000, 3750, 2, 3), (std::vector<uint32_t>{1000, 1000, 500}))
        << "two thirds of 3750 is 2500";
    const char* lines[] = {
        "Score at Start of Level:", "Score Earned This Level:", "                Accuracy:",
        "          Accuracy Bonus:", "           Total Score:"};
    for (int i = 0; i < 5; ++i) {
        int first = scene.FirstFrameDrawing(lines[i]);
        ASSERT_GE(first, 0) << lines[i];
        EXPECT_NEAR(scene.frames[first].seconds - scene.frames[0].seconds, i + 1.02, 1e-6)
            << lines[i];
    }
    for (const char* value : {"16250", "3750", "66.67%", "2500", "22500", "Level:3"}) {
        EXPECT_TRUE(scene.Drew(value)) << value;
    }
    // Lines for five seconds, three frames of tally, the frame that finds it done, five more.
    EXPECT_NEAR(Seconds(), 5.02 + 3 * 0.02 + 5.02, 1e-6);

    // A level without shots has no bonus and ends five seconds after its fifth line.
    EXPECT_TRUE(Summary(5000, 5000, 0, 0).empty());
    EXPECT_TRUE(scene.Drew("0.00%"));
    EXPECT_NEAR(Seconds(), 5.02 + 5.02, 1e-6);

    scene.session.lives = 2;
    Summary(499500, 1000, 4, 4);
    EXPECT_EQ(scene.session.lives, 3);
    EXPECT_EQ(scene.session.extraLives, 2u);
    int crossed = scene.FirstFrameDrawing("500500");
    ASSERT_GE(crossed, 1);
    EXPECT_EQ(scene.FirstFrameDrawing("Lives:3"), crossed) << "shown in the frame that crossed";
}

// SIGTERM or SIGINT cuts the banner, the summary and the end screens short after the frame it came
// in; the summary still counts its whole bonus, and a new high score is in the settings file before
// the end screen's first frame.
TEST_F(LevelScreensTest, AQuitRequestCutsTheTimedScreensShortButKeepsTheirScore) {
    EXPECT_EQ(FramesUntilQuit([this] { ShowLevelBanner(level); }, 2), 3u);
    scene.session.score = 20000;
    LevelScore = 3750;
    AsteroidsShot = 2;
    level.shotsFired = 3;
    // In the tally's second frame, after five seconds of lines at 20 ms.
    EXPECT_EQ(FramesUntilQuit([this] { ShowLevelSummary(level); }, 252), 253u);
    EXPECT_EQ(scene.session.score, 22500u) << "the whole bonus of 2500";

    HighScore = 1000;
    for (void (*endScreen)() : {ShowGameOver, ShowGameWin}) {
        scene.session.score += 1;
        EXPECT_EQ(FramesUntilQuit(endScreen, 3), 4u)
            << "the game-win screen's second spell shows nothing";
        EXPECT_EQ(savedHighScores,
                  std::vector<int32_t>(4, static_cast<int32_t>(scene.session.score)));
    }
}

TEST(LevelAccuracy, CountsAsteroidsPerShotAndTruncatesTheBonus) {
    EXPECT_EQ(LevelAccuracy(6, 4), 1.5f) << "a spread shot can bring down several";
    EXPECT_EQ(AccuracyBonus(1001, LevelAccuracy(2, 3)), 667u);
    EXPECT_EQ(AccuracyBonus(4000000000u, 3.0f), 4294967040u) << "held within the score's range";
}

// Game over lasts five seconds and game won ten; only a score above the high score is a new one,
// shown with its emblem and its line.
TEST_F(LevelScreensTest, OnlyAScoreAboveTheHighScoreIsANewHighScore) {
    HighScore = 1234;
    scene.session.score = 1234;
    scene.keepCalls = true;
    auto emblemShown = [this] {
        return std::any_of(scene.frames.begin(), scene.frames.end(), [](const ShownFrame& frame) {
            return frame.Binds("textures/gameplay/highscore.tga");
        });
    };
    ShowGameOver();
    EXPECT_EQ(scene.ScreenSequence(), std::vector<std::string>{"game over"});
    EXPECT_NEAR(Seconds(), 5.0, 1e-6);
    EXPECT_FALSE(emblemShown());
    for (const ShownFrame& frame : scene.frames) {
        EXPECT_TRUE(frame.texts.empty());
    }

    scene.frames.clear();
    scene.session.score = 1235;
    ShowGameOver();
    EXPECT_STREQ(HighScoreText, "High Score:1235");
    EXPECT_TRUE(scene.Drew("NEW HIGH SCORE:1235"));
    EXPECT_TRUE(emblemShown());

    scene.frames.clear();
    scene.session.score = 99999;
    ShowGameWin();
    EXPECT_EQ(scene.ScreenSequence(), std::vector<std::string>{"game win"});
    EXPECT_NEAR(Seconds(), 10.0, 1e-6);
    EXPECT_STREQ(HighScoreText, "High Score: 99999");
    EXPECT_TRUE(scene.Drew("NEW HIGH SCORE:99999"));
}
