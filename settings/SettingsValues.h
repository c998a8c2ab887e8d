#pragma once
#include <cstdint>

// The values that outlive a run: loaded from the settings file at start, saved at shutdown
// and after the options menu. Main thread only.
extern int32_t ScreenWidth;   // window width in pixels; replaced by the desktop width at start
extern int32_t ScreenHeight;  // window height in pixels; likewise
extern int32_t ColorDepth;    // carried from the file back to the file, used by nothing else
extern int32_t Brightness;    // 0 high, 1 medium, 2 low
extern bool GlslEnabled;      // this run draws with shader programs; fixed once loaded
extern bool GlslChoice;       // the shader choice shown by the options menu; takes effect next run
extern bool SoundEnabled;     // effects and music play; takes effect at once
extern int32_t HighScore;     // best score so far

constexpr int HighScoreTextCapacity = 32;
extern char HighScoreText[HighScoreTextCapacity];  // the line the main menu draws

// The window brightness factor for a level: 0 gives 1.0, 1 gives 0.75, anything else 0.5.
float BrightnessFactor(int32_t level);

// HighScoreText as the menus show it ("High Score:%d") and as an end screen sets it after a new
// record ("High Score: %d").
void FormatHighScoreText();
void FormatNewHighScoreText();
