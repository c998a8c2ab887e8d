#pragma once
#include "render/MultiTex.h"

// The pictures of the main and options menus, named entries of two texture bundles, in the
// order they are looked up.
enum class MenuPicture : int {
    Header,
    Disclaimer,
    ShipScr,
    Asteroid2,
    Tux,
    Beastie,
    PC,
    StartNormal,
    StartActive,
    OptionsNormal,
    OptionsActive,
    ClearHighNormal,
    ClearHighActive,
    ExitNormal,
    ExitActive,
    Resolution,
    Res1024Normal,
    Res1024Active,
    Res800Normal,
    Res800Active,
    Res640Normal,
    Res640Active,
    ColorDepth,
    Depth32Normal,
    Depth32Active,
    Depth16Normal,
    Depth16Active,
    Glsl,
    OnNormal,
    OnActive,
    OffNormal,
    OffActive,
    Sound,
    Brightness,
    HighNormal,
    HighActive,
    MediumNormal,
    MediumActive,
    LowNormal,
    LowActive,
    ControlsNormal,
    ControlsActive,
    OKNormal,
    OKActive,
    RestartNotice,
    Count
};
constexpr int MenuPictureCount = static_cast<int>(MenuPicture::Count);

// Where each menu picture lives: its entry name and which bundle (0 for the first, 1 for the
// second).
struct MenuPictureSource {
    const char* entryName;
    int bundle;
};
extern const MenuPictureSource MenuPictureSources[MenuPictureCount];

constexpr const char* MenuBundlePaths[2] = {"tbundles/menu/menu1.qtb", "tbundles/menu/menu2.qtb"};

// The two bundles and the regions of the 46 pictures; null before loading and after release.
extern MultiTex* MenuBundles[2];
extern TextureRegion* MenuRegions;  // MenuPictureCount records, indexed by MenuPicture

inline const TextureRegion& MenuRegion(MenuPicture picture) {
    return MenuRegions[static_cast<int>(picture)];
}

// Constructs and loads both bundles and allocates the regions; a bundle that does not load is
// named on stderr and stays empty.
void LoadMenuBundles();
// Fills every region from its bundle. A picture the bundle lacks gets zero coordinates, and is
// named on stderr unless the whole bundle is missing.
void FindMenuRegions();
// Frees the regions and destroys the bundles; every pointer is null afterwards.
void ReleaseMenuPictures();
