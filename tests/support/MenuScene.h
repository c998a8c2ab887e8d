#pragma once
#include <cstdint>
#include <string>

#include "render/Targa.h"
#include "tests/support/FrameDriver.h"
#include "tests/support/TempAssetRoot.h"

// Everything the menus need, headless: recording GL, driven frames and time, an empty asset
// root of its own (so saved settings land there), the menu pictures' regions (empty bundles:
// each picture is still told apart by its own region), the small font, the global clock, the
// pointer at (0, 0) and the settings values as each test sets them. Puts everything back
// afterwards.
class MenuScene {
public:
    MenuScene();
    ~MenuScene();
    MenuScene(const MenuScene&) = delete;
    MenuScene& operator=(const MenuScene&) = delete;

    // True once a save has written the settings file below this scene's asset root.
    bool SettingsSaved() const;

    TempAssetRoot assets;
    FrameDriver driver;
    Targa pointer;  // never loaded: the menus only bind it

private:
    int32_t savedBrightness;
    bool savedGlslEnabled;
    bool savedGlslChoice;
    bool savedSoundEnabled;
    int32_t savedHighScore;
    std::string savedHighScoreText;
};

// The relative mouse motion that brings the menu pointer from where it is to (x, y).
void PushMotionTo(float x, float y);
