#include "game/LevelScreens.h"

#include <cstdio>
#include <cstring>

#include "app/Clock.h"
#include "app/Input.h"
#include "app/Platform.h"
#include "app/Program.h"
#include "app/WindowSight.h"
#include "game/LevelLoop.h"
#include "platform/System.h"
#include "render/AssetCatalogue.h"
#include "render/Font.h"
#include "render/GLEntryPoints.h"
#include "render/Targa.h"
#include "screens/PictureQuad.h"
#include "settings/Settings.h"
#include "settings/SettingsValues.h"
#include "world/AwardPoints.h"
#include "world/SpriteDrawing.h"

namespace {

constexpr PictureQuad BannerQuad{-1.0f, 1.0f, 1.0f, -1.0f, -3.5f, 0.0f, 1.0f, 0.0f, 1.0f};
constexpr PictureQuad SummaryQuad{-1.0f, 2.0f, 1.0f, 0.0f, -3.5f, 0.0f, 1.0f, 0.0f, 1.0f};
constexpr PictureQuad EndPictureQuad{-1.33f, 1.0f, 1.33f, -1.0f, -1.8f, 0.0f, 1.0f, 0.0f, 1.0f};
constexpr PictureQuad HighScoreQuad{-1.0f, 0.0f, 1.0f, -2.0f, -3.5f, 0.0f, 1.0f, 0.0f, 1.0f};

constexpr uint32_t SummaryLabelColumn = 15;
constexpr uint32_t SummaryValueColumn = 40;

void EnableBlendedTexturing() {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
}

float GlobalSeconds() {
    ReadClock(GlobalClock);
    return ElapsedSeconds(GlobalClock);
}

// One line of the summary: its label and its figure.
void DrawSummaryLine(Font& font, uint32_t row, const char* label, const char* format,
                     int32_t value) {
    char figure[32];
    std::snprintf(figure, sizeof figure, format, value);
    font.DrawText(SummaryLabelColumn, row, label);
    font.DrawText(SummaryValueColumn, row, figure);
}

}  // namespace

bool TakeScoreAsHighScore() {
    if (GameSession == nullptr || GameSession->score <= static_cast<uint32_t>(HighScore)) {
        return false;
    }
    HighScore = static_cast<int32_t>(GameSession->score);
    return true;
}

namespace {

// A new high score, taken from the game's score when it beats the old one (an equal score does
// not) and saved at once, so that no later crash, kill or power cut loses it; with the line the
// end screen shows for it.
struct NewHighScore {
    bool reached = false;
    char line[40] = {};
};

NewHighScore TakeNewHighScore(void (*formatHighScoreText)()) {
    NewHighScore record;
    if (TakeScoreAsHighScore()) {
        record.reached = true;
        formatHighScoreText();
        SaveSettings();
        std::snprintf(record.line, sizeof record.line, "NEW HIGH SCORE:%d", HighScore);
    }
    return record;
}

// An end screen's spell lasts five seconds of the global clock, less after a quit request.
bool EndScreenGoesOn(float seconds) {
    return seconds < EndScreenSeconds && !QuitRequested();
}

// One frame of an end screen: the picture at the given opacity and, after a new high score, the
// emblem and the line with its green brightened by `glow`.
void DrawEndFrame(const Targa& picture, float opacity, bool texturingOffAfterPicture,
                  const NewHighScore& record, float glow) {
    // The timed screens take no input, but each of their frames follows the keys, so that the
    // screen after them knows which ones were already held.
    PumpInput();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    picture.Bind();
    glColor4f(1.0f, 1.0f, 1.0f, opacity);
    DrawPictureQuad(EndPictureQuad);
    if (texturingOffAfterPicture) {
        glDisable(GL_TEXTURE_2D);
    }
    if (record.reached) {
        glEnable(GL_TEXTURE_2D);
        BindTexture(Catalogue.highScore);
        DrawPictureQuad(HighScoreQuad);
        glDisable(GL_TEXTURE_2D);
        glColor3f(0.3f * glow, 0.9f * glow, 0.3f * glow);
        uint32_t length = static_cast<uint32_t>(std::strlen(record.line));
        LargeFont->DrawText(20 - length / 2, 27, record.line);
    }
    ShowFrame();
}

}  // namespace

float LevelAccuracy(int32_t asteroidsShot, int32_t shotsFired) {
    if (shotsFired <= 0) {
        return 0.0f;
    }
    return static_cast<float>(asteroidsShot) / static_cast<float>(shotsFired);
}

uint32_t AccuracyBonus(uint32_t levelScore, float accuracy) {
    constexpr float Ceiling = 4294967040.0f;  // the largest float below 2^32
    float bonus = static_cast<float>(levelScore) * accuracy;
    if (!(bonus > 0.0f)) {
        return 0;
    }
    return bonus >= Ceiling ? static_cast<uint32_t>(Ceiling) : static_cast<uint32_t>(bonus);
}

void ShowLevelBanner(const Level& level) {
    char text[32];
    std::snprintf(text, sizeof text, "Level: %d", level.number);
    ReadClock(GlobalClock);
    const float start = ElapsedMilliseconds(GlobalClock);
    for (;;) {
        ReadClock(GlobalClock);
        if (ElapsedMilliseconds(GlobalClock) - start > BannerMilliseconds || QuitRequested()) {
            break;
        }
        PumpInput();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glColor3f(0.8f, 0.8f, 0.1f);
        LargeFont->DrawText(2, 28, text);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        EnableBlendedTexturing();
        BindTexture(Catalogue.start);
        DrawPictureQuad(BannerQuad);
        ShowFrame();
    }
}

void ShowLevelSummary(const Level& level) {
    Clock* clock = level.clock.get();
    RestartClock(clock);
    Font font;
    font.Init(2);
    const float accuracy = LevelAccuracy(AsteroidsShot, level.shotsFired);
    const uint32_t bonus = AccuracyBonus(LevelScore, accuracy);
    uint32_t added = 0;
    bool tallyDone = false;
    float tallyDoneTime = 0.0f;
    // Every test of the screen's time reads the level clock afresh.
    auto elapsed = [clock] {
        ReadClock(clock);
        return ElapsedMilliseconds(clock);
    };
    bool finished = false;
    while (!finished && !QuitRequested()) {
        PumpInput();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        EnableBlendedTexturing();
        BindTexture(Catalogue.summary);
        DrawPictureQuad(SummaryQuad);

        glColor3f(0.8f, 0.8f, 0.1f);
        if (elapsed() > 1000.0f) {
            DrawSummaryLine(font, 33, "Score at Start of Level:", "%d",
                            static_cast<int32_t>(LevelStartScore));
        }
        if (elapsed() > 2000.0f) {
            DrawSummaryLine(font, 32, "Score Earned This Level:", "%d",
                            static_cast<int32_t>(LevelScore));
        }
        if (elapsed() > 3000.0f) {
            char percent[32];
            std::snprintf(percent, sizeof percent, "%.2f%%", accuracy * 100.0f);
            font.DrawText(SummaryLabelColumn, 31, "                Accuracy:");
            font.DrawText(SummaryValueColumn, 31, percent);
        }
        if (elapsed() > 4000.0f) {
            DrawSummaryLine(font, 30, "          Accuracy Bonus:", "%d",
                            static_cast<int32_t>(bonus));
            glDisable(GL_TEXTURE_2D);
            glColor3f(1.0f, 1.0f, 0.0f);
            glBegin(GL_LINES);
            glVertex3f(-1.0f, -0.01f, -3.5f);
            glVertex3f(1.0f, -0.01f, -3.5f);
            glEnd();
        }
        float now = elapsed();
        if (now > 5000.0f) {
            if (added < bonus) {
                uint32_t step =
                    bonus - added < BonusPointsPerFrame ? bonus - added : BonusPointsPerFrame;
                GameSession->score += step;
                GrantExtraLifeIfDue();
                added += step;
            } else if (!tallyDone) {
                tallyDone = true;
                tallyDoneTime = now;
            }
            DrawSummaryLine(font, 27, "           Total Score:", "%d",
                            static_cast<int32_t>(GameSession->score));
        }
        if (tallyDone && elapsed() - tallyDoneTime >= 5000.0f) {
            finished = true;
        }
        glColor3f(0.77f, 0.77f, 0.99f);
        DrawStatusLine(font, level.number);
        ShowFrame();
    }
    // Cut short by a quit request, the completed level still earns its whole bonus.
    if (added < bonus) {
        GameSession->score += bonus - added;
        GrantExtraLifeIfDue();
    }
}

void ShowGameOver() {
    RestartClock(GlobalClock);
    NewHighScore record = TakeNewHighScore(FormatHighScoreText);
    Targa picture;
    picture.Load(GameOverPicturePath, EndPicturesMipmapped);
    EnableBlendedTexturing();
    for (float t = GlobalSeconds(); EndScreenGoesOn(t); t = GlobalSeconds()) {
        DrawEndFrame(picture, t < 1.0f ? t : 1.0f, true, record, t / EndScreenSeconds);
    }
}

void ShowGameWin() {
    RestartClock(GlobalClock);
    Targa picture;
    picture.Load(GameWinPicturePath, EndPicturesMipmapped);
    NewHighScore record = TakeNewHighScore(FormatNewHighScoreText);
    EnableBlendedTexturing();
    for (float t = GlobalSeconds(); EndScreenGoesOn(t); t = GlobalSeconds()) {
        float fade = t / EndScreenSeconds;
        DrawEndFrame(picture, fade, false, record, fade);
    }
    RestartClock(GlobalClock);
    for (float t = GlobalSeconds(); EndScreenGoesOn(t); t = GlobalSeconds()) {
        DrawEndFrame(picture, 1.0f, false, record, 1.0f);
    }
}
