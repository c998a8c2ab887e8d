#include "tests/support/MenuScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "app/Clock.h"
#include "render/Font.h"
#include "render/MenuPictures.h"
#include "screens/MenuWidget.h"
#include "settings/Repository.h"
#include "settings/SettingsValues.h"
#include "tests/support/RecordingGL.h"

MenuScene::MenuScene()
    : savedBrightness(Brightness),
      savedGlslEnabled(GlslEnabled),
      savedGlslChoice(GlslChoice),
      savedSoundEnabled(SoundEnabled),
      savedHighScore(HighScore),
      savedHighScoreText(HighScoreText) {
    std::filesystem::create_directories(std::filesystem::path(assets.folder) / "base" / "config");
    RecordingGL::Install();
    testing::internal::CaptureStderr();  // the missing bundles are named there
    LoadMenuBundles();
    FindMenuRegions();
    testing::internal::GetCapturedStderr();
    SmallFont = new Font;
    SmallFont->Init(2);
    GlobalClock = CreateClock();
    MenuPointer = MenuPointerPosition{};
    SoundEnabled = false;
    RecordingGL::ClearCalls();
}

MenuScene::~MenuScene() {
    delete GlobalClock;
    GlobalClock = nullptr;
    delete SmallFont;
    SmallFont = nullptr;
    ReleaseMenuPictures();
    RecordingGL::Uninstall();
    Brightness = savedBrightness;
    GlslEnabled = savedGlslEnabled;
    GlslChoice = savedGlslChoice;
    SoundEnabled = savedSoundEnabled;
    HighScore = savedHighScore;
    std::strncpy(HighScoreText, savedHighScoreText.c_str(), HighScoreTextCapacity - 1);
}

bool MenuScene::SettingsSaved() const {
    return std::filesystem::exists(std::filesystem::path(assets.folder) / "base" /
                                   SettingsFileName);
}

void PushMotionTo(float x, float y) {
    int dx = static_cast<int>(std::lround((x - MenuPointer.x) * MousePixelsPerUnit));
    int dy = static_cast<int>(std::lround((MenuPointer.y - y) * MousePixelsPerUnit));
    FrameDriver::PushMotion(dx, dy);
}
