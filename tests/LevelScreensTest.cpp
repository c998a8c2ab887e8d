#include <gtest/gtest.h>

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
        scene.step = [this](int) { scores.push_back(scene.session.score); };
    }

    // The score after each frame, less the score before the screen.
    std::vector<uint32_t> ScoreSteps(uint32_t before) const {
        std::vector<uint32_t> steps;
        for (uint32_t score : scores) {
            if (score != before) {
                steps.push_back(score - before);
                before = score;
            }
        }
        return steps;
    }

    // A level that earned levelScore, with `shot` asteroids shot in `fired` shots, the session
    // now at `score`; what a summary shows starts afresh.
    void LevelPlayed(uint32_t score, uint32_t levelScore, int32_t shot, int32_t fired) {
        scene.frames.clear();
        scores.clear();
        scene.session.score = score;
        LevelScore = levelScore;
        AsteroidsShot = shot;
        level.shotsFired = fired;
    }

    double Seconds() const {
        return scene.frames.back().seconds - scene.frames.front().seconds + 0.02;
    }

    GameScene scene;
    Level level;
    std::vector<uint32_t> scores;
};

TEST_F(LevelScreensTest, TheSummaryShowsItsLinesASecondApartAndTalliesTheBonusByThousands) {
    scene.session.extraLives = 1;
    LevelStartScore = 16250;
    LevelPlayed(20000, 3750, 2, 3);
    ShowLevelSummary(level);

    EXPECT_EQ(ScoreSteps(20000), (std::vector<uint32_t>{1000, 1000, 500}))
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
    LevelPlayed(5000, 5000, 0, 0);
    ShowLevelSummary(level);
    EXPECT_TRUE(scene.Drew("0.00%"));
    EXPECT_TRUE(ScoreSteps(5000).empty());
    EXPECT_NEAR(Seconds(), 5.02 + 5.02, 1e-6);
}

TEST_F(LevelScreensTest, ABonusCrossingAMultipleOfHalfAMillionShowsTheExtraLifeAtOnce) {
    scene.session.lives = 2;
    scene.session.extraLives = 1;
    LevelPlayed(499500, 1000, 4, 4);
    ShowLevelSummary(level);
    EXPECT_EQ(scene.session.lives, 3);
    EXPECT_EQ(scene.session.extraLives, 2u);
    int crossed = scene.FirstFrameDrawing("500500");
    ASSERT_GE(crossed, 1);
    EXPECT_EQ(scene.FirstFrameDrawing("Lives:3"), crossed) << "shown in the frame that crossed";
}

// SIGTERM or SIGINT cuts every timed screen short after the frame it came in; the summary still
// counts its whole bonus, and a new high score is in the settings file before the end screen's
// first frame.
TEST_F(LevelScreensTest, AQuitRequestCutsTheTimedScreensShortButKeepsTheirScore) {
    // Runs a screen with the signal raised after its frame `last` (counted from 0); its frames.
    auto framesUntilQuit = [this](const std::function<void()>& screen, size_t last, int signal,
                                  const std::function<void()>& eachFrame = nullptr) {
        QuitSignalsCaught signals;
        scene.frames.clear();
        scene.step = [&](int) {
            if (eachFrame) {
                eachFrame();
            }
            if (scene.frames.size() == last + 1) {
                std::raise(signal);
            }
        };
        screen();
        return scene.frames.size();
    };
    EXPECT_EQ(framesUntilQuit([this] { ShowLevelBanner(level); }, 2, SIGTERM), 3u);

    LevelPlayed(20000, 3750, 2, 3);
    // In the tally's second frame, after five seconds of lines at 20 ms.
    EXPECT_EQ(framesUntilQuit([this] { ShowLevelSummary(level); }, 252, SIGINT), 253u);
    EXPECT_EQ(scene.session.score, 22500u) << "the whole bonus of 2500";

    HighScore = 1000;
    for (void (*endScreen)() : {ShowGameOver, ShowGameWin}) {
        scene.session.score += 1;
        std::vector<int32_t> saved;
        EXPECT_EQ(
            framesUntilQuit(endScreen, 3, SIGTERM, [&] { saved.push_back(SavedHighScore()); }), 4u)
            << "the game-win screen's second spell shows nothing";
        EXPECT_EQ(saved, std::vector<int32_t>(4, static_cast<int32_t>(scene.session.score)));
    }
}

TEST(LevelAccuracy, CountsAsteroidsPerShotAndTruncatesTheBonus) {
    EXPECT_EQ(LevelAccuracy(6, 4), 1.5f) << "a spread shot can bring down several";
    EXPECT_EQ(AccuracyBonus(1001, LevelAccuracy(2, 3)), 667u);
    EXPECT_EQ(AccuracyBonus(4000000000u, 3.0f), 4294967040u) << "held within the score's range";
}

TEST_F(LevelScreensTest, OnlyAScoreAboveTheHighScoreIsANewHighScore) {
    HighScore = 1234;
    scene.session.score = 1234;
    scene.keepCalls = true;
    ShowGameOver();
    EXPECT_EQ(scene.ScreenSequence(), std::vector<std::string>{"game over"});
    EXPECT_NEAR(Seconds(), 5.0, 1e-6);
    const double emblem = GameScene::TextureName("textures/gameplay/highscore.tga");
    auto emblemShown = [&] {
        for (const ShownFrame& frame : scene.frames) {
            for (const RecordedCall& call : frame.calls) {
                if (call.name == "glBindTexture" && call.args[1] == emblem) {
                    return true;
                }
            }
        }
        return false;
    };
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
