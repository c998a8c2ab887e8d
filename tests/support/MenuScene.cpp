#include "tests/support/MenuScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/Clock.h"
#include "render/Font.h"
#include "render/MenuPictures.h"
#include "screens/MenuWidget.h"
#include "settings/Repository.h"
#include "settings/SettingsValues.h"
#include "tests/support/RecordingGL.h"

MenuScene::MenuScene() {
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
}

bool MenuScene::SettingsSaved() const {
    return !assets.Read(std::string("base/") + SettingsFileName).empty();
}

void PushMotionTo(float x, float y) {
    int dx = static_cast<int>(std::lround((x - MenuPointer.x) * MousePixelsPerUnit));
    int dy = static_cast<int>(std::lround((MenuPointer.y - y) * MousePixelsPerUnit));
    FrameDriver::PushMotion(dx, dy);
}
