#include "settings/SettingsValues.h"

#include <cstdio>

int32_t ScreenWidth = 0;
int32_t ScreenHeight = 0;
int32_t ColorDepth = 0;
int32_t Brightness = 0;
bool GlslEnabled = false;
bool GlslChoice = false;
bool SoundEnabled = false;
int32_t HighScore = 0;
char HighScoreText[HighScoreTextCapacity] = "";

float BrightnessFactor(int32_t level) {
    if (level == 0) {
        return 1.0f;
    }
    return level == 1 ? 0.75f : 0.5f;
}

void FormatHighScoreText() {
    std::snprintf(HighScoreText, sizeof HighScoreText, "High Score:%d", HighScore);
}

void FormatNewHighScoreText() {
    std::snprintf(HighScoreText, sizeof HighScoreText, "High Score: %d", HighScore);
}
