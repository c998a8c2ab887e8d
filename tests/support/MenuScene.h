#pragma once
#include "render/Targa.h"
#include "tests/support/FrameDriver.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/TempFolder.h"

// Everything the menus need, headless: recording GL, driven frames and time, an empty asset
// root of its own (so saved settings land there), the menu pictures' regions (empty bundles:
// each picture is still told apart by its own region), the small font, the global clock, the
// pointer at (0, 0) and sound off. Puts everything back afterwards.
class MenuScene {
public:
    MenuScene();
    ~MenuScene();
    MenuScene(const MenuScene&) = delete;
    MenuScene& operator=(const MenuScene&) = delete;

    // True once a save has written the settings file below this scene's asset root.
    bool SettingsSaved() const;

    KeptSettings kept;
    TempAssetRoot assets;
    FrameDriver driver;
    Targa pointer;  // never loaded: the menus only bind it
};

// The relative mouse motion that brings the menu pointer from where it is to (x, y).
void PushMotionTo(float x, float y);
