#include "render/MenuPictures.h"

#include <cstdio>

MultiTex* MenuBundles[2] = {nullptr, nullptr};
TextureRegion* MenuRegions = nullptr;

const MenuPictureSource MenuPictureSources[MenuPictureCount] = {
    {"Header.tga", 0},
    {"Disclaimer.tga", 0},
    {"ShipScr.tga", 1},
    {"asteroid2.tga", 1},
    {"tux.tga", 0},
    {"beastie.tga", 0},
    {"PC.tga", 0},
    {"StartNormal.tga", 0},
    {"StartActive.tga", 0},
    {"OptionsNormal.tga", 0},
    {"OptionsActive.tga", 0},
    {"ClearHighNormal.tga", 0},
    {"ClearHighActive.tga", 0},
    {"ExitNormal.tga", 0},
    {"ExitActive.tga", 0},
    {"Resolution.tga", 0},
    {"1024Normal.tga", 0},
    {"1024Active.tga", 0},
    {"800Normal.tga", 0},
    {"800Active.tga", 0},
    {"640Normal.tga", 0},
    {"640Active.tga", 0},
    {"ColorDepth.tga", 0},
    {"32Normal.tga", 0},
    {"32Active.tga", 0},
    {"16Normal.tga", 0},
    {"16Active.tga", 0},
    {"GLSL.tga", 0},
    {"OnNormal.tga", 0},
    {"OnActive.tga", 0},
    {"OffNormal.tga", 0},
    {"OffActive.tga", 0},
    {"Sound.tga", 0},
    {"Brightness.tga", 0},
    {"HighNormal.tga", 0},
    {"HighActive.tga", 0},
    {"MediumNormal.tga", 0},
    {"MediumActive.tga", 0},
    {"LowNormal.tga", 0},
    {"LowActive.tga", 0},
    {"ControlsNormal.tga", 0},
    {"ControlsActive.tga", 0},
    {"OKNormal.tga", 0},
    {"OKActive.tga", 0},
    {"RestartNotice.tga", 1},
};

void LoadMenuBundles() {
    for (int i = 0; i < 2; ++i) {
        MenuBundles[i] = new MultiTex;
        if (!MenuBundles[i]->Load(MenuBundlePaths[i], false)) {
            std::fprintf(stderr, "brindles-cataclysm: cannot load the menu pictures %s\n",
                         MenuBundlePaths[i]);
        }
    }
    MenuRegions = new TextureRegion[MenuPictureCount];
}

void FindMenuRegions() {
    for (int i = 0; i < MenuPictureCount; ++i) {
        const MenuPictureSource& source = MenuPictureSources[i];
        TextureRegion& region = MenuRegions[i];
        region.bundle = MenuBundles[source.bundle];
        float place[4] = {0, 0, 0, 0};  // left, bottom, right, top
        bool found = region.bundle->Find(source.entryName, place);
        if (!found && !region.bundle->entries.empty()) {
            std::fprintf(stderr, "brindles-cataclysm: %s has no picture %s\n",
                         MenuBundlePaths[source.bundle], source.entryName);
        }
        const float corners[8] = {place[0], place[3], place[2], place[3],
                                  place[0], place[1], place[2], place[1]};
        for (int c = 0; c < 8; ++c) {
            region.corners[c] = corners[c];
        }
    }
}

void ReleaseMenuPictures() {
    delete[] MenuRegions;
    MenuRegions = nullptr;
    for (MultiTex*& bundle : MenuBundles) {
        delete bundle;
        bundle = nullptr;
    }
}
