#pragma once
#include <cstring>
#include <string>
#include <tuple>

#include "settings/SettingsValues.h"

// Every settings value as it stood when this was made, put back when it ends, so that a test may
// change them freely.
class KeptSettings {
    static auto Values() {
        return std::tie(ScreenWidth, ScreenHeight, ColorDepth, Brightness, HighScore, GlslEnabled,
                        GlslChoice, SoundEnabled);
    }

public:
    KeptSettings() : saved(Values()), savedText(HighScoreText) {}
    ~KeptSettings() {
        Values() = saved;
        std::strncpy(HighScoreText, savedText.c_str(), HighScoreTextCapacity - 1);
    }
    KeptSettings(const KeptSettings&) = delete;
    KeptSettings& operator=(const KeptSettings&) = delete;

private:
    std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, bool, bool, bool> saved;
    std::string savedText;
};
