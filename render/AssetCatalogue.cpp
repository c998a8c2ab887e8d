#include "render/AssetCatalogue.h"

#include <cstring>

#include "render/MenuPictures.h"
#include "settings/SettingsValues.h"

AssetCatalogueRecord Catalogue;

namespace {

constexpr bool Mipmapped = true;
constexpr bool Plain = false;
constexpr bool GlslOnly = true;
constexpr bool Always = false;

}  // namespace

const CatalogueTexture CatalogueTextures[CatalogueTextureCount] = {
    {"textures/gameplay/asteroid0.tga", Mipmapped, Always, &Catalogue.asteroid[0]},
    {"textures/gameplay/asteroid1.tga", Mipmapped, Always, &Catalogue.asteroid[1]},
    {"textures/gameplay/asteroid2.tga", Mipmapped, Always, &Catalogue.asteroid[2]},
    {"textures/gameplay/finalasteroid.tga", Mipmapped, Always, &Catalogue.finalAsteroid},
    {"textures/gameplay/shipp0.tga", Mipmapped, Always, &Catalogue.shipPiece[0]},
    {"textures/gameplay/shipp1.tga", Mipmapped, Always, &Catalogue.shipPiece[1]},
    {"textures/gameplay/shipp2.tga", Mipmapped, Always, &Catalogue.shipPiece[2]},
    {"textures/gameplay/shipp3.tga", Mipmapped, Always, &Catalogue.shipPiece[3]},
    {"textures/gameplay/shipp4.tga", Mipmapped, Always, &Catalogue.shipPiece[4]},
    {"textures/gameplay/shipp5.tga", Mipmapped, Always, &Catalogue.shipPiece[5]},
    {"textures/gameplay/shipp6.tga", Mipmapped, Always, &Catalogue.shipPiece[6]},
    {"textures/glsl/ship.tga", Mipmapped, GlslOnly, &Catalogue.glslShip},
    {"textures/glsl/shipn.tga", Mipmapped, GlslOnly, &Catalogue.glslShipNormal},
    {"textures/glsl/shipinv.tga", Mipmapped, GlslOnly, &Catalogue.glslShipInv},
    {"textures/glsl/shipinvn.tga", Mipmapped, GlslOnly, &Catalogue.glslShipInvNormal},
    {"textures/glsl/noise.tga", Mipmapped, GlslOnly, &Catalogue.glslNoise},
    {"textures/glsl/asteroid0.tga", Mipmapped, GlslOnly, &Catalogue.glslAsteroid[0]},
    {"textures/glsl/asteroid1.tga", Mipmapped, GlslOnly, &Catalogue.glslAsteroid[1]},
    {"textures/glsl/asteroid2.tga", Mipmapped, GlslOnly, &Catalogue.glslAsteroid[2]},
    {"textures/glsl/asteroid0n.tga", Mipmapped, GlslOnly, &Catalogue.glslAsteroidNormal[0]},
    {"textures/glsl/asteroid1n.tga", Mipmapped, GlslOnly, &Catalogue.glslAsteroidNormal[1]},
    {"textures/glsl/asteroid2n.tga", Mipmapped, GlslOnly, &Catalogue.glslAsteroidNormal[2]},
    {"textures/glsl/flame.tga", Mipmapped, GlslOnly, &Catalogue.glslFlame},
    {"textures/glsl/flamealpha.tga", Mipmapped, GlslOnly, &Catalogue.glslFlameAlpha},
    {"textures/glsl/powerinvuln.tga", Mipmapped, GlslOnly, &Catalogue.glslPowerInvuln},
    {"textures/glsl/powerspread.tga", Mipmapped, GlslOnly, &Catalogue.glslPowerSpread},
    {"textures/glsl/powerstarburst.tga", Mipmapped, GlslOnly, &Catalogue.glslPowerStarburst},
    {"textures/glsl/powerlongrange.tga", Mipmapped, GlslOnly, &Catalogue.glslPowerLongRange},
    {"textures/glsl/powerinvulnn.tga", Mipmapped, GlslOnly, &Catalogue.glslPowerInvulnNormal},
    {"textures/glsl/powerspreadn.tga", Mipmapped, GlslOnly, &Catalogue.glslPowerSpreadNormal},
    {"textures/glsl/powerstarburstn.tga", Mipmapped, GlslOnly, &Catalogue.glslPowerStarburstNormal},
    {"textures/glsl/powerlongrangen.tga", Mipmapped, GlslOnly, &Catalogue.glslPowerLongRangeNormal},
    {"textures/gameplay/ship.tga", Mipmapped, Always, &Catalogue.ship},
    {"textures/gameplay/shipinv.tga", Mipmapped, Always, &Catalogue.shipInv},
    {"textures/gameplay/particle.tga", Mipmapped, Always, &Catalogue.particle},
    {"textures/gameplay/bullet.tga", Mipmapped, Always, &Catalogue.bullet},
    {"textures/gameplay/powerinvuln.tga", Mipmapped, Always, &Catalogue.powerInvuln},
    {"textures/gameplay/powerlongrange.tga", Mipmapped, Always, &Catalogue.powerLongRange},
    {"textures/gameplay/powerspread.tga", Mipmapped, Always, &Catalogue.powerSpread},
    {"textures/gameplay/powerstarburst.tga", Mipmapped, Always, &Catalogue.powerStarburst},
    {"textures/gameplay/displaybox.tga", Mipmapped, Always, &Catalogue.displayBox},
    {"textures/gameplay/start.tga", Mipmapped, Always, &Catalogue.start},
    {"textures/gameplay/summary.tga", Mipmapped, Always, &Catalogue.summary},
    {"textures/gameplay/highscore.tga", Mipmapped, Always, &Catalogue.highScore},
    {"textures/gameplay/background0.tga", Plain, Always, &Catalogue.background},
    {"textures/story/frame1.tga", Plain, Always, &Catalogue.storyFrame1},
    {"textures/story/frame2.tga", Plain, Always, &Catalogue.storyFrame2},
    {"textures/story/credits.tga", Plain, Always, &Catalogue.credits},
};

void LoadAssetCatalogue() {
    for (const CatalogueTexture& row : CatalogueTextures) {
        if (GlslEnabled || !row.glslOnly) {
            *row.handle = new Targa;
        }
    }
    LoadMenuBundles();
    for (const CatalogueTexture& row : CatalogueTextures) {
        if (GlslEnabled || !row.glslOnly) {
            (*row.handle)->Load(row.path, row.mipmapped);
        }
    }
    FindMenuRegions();
}

void ReleaseAssetCatalogue() {
    for (const CatalogueTexture& row : CatalogueTextures) {
        if (GlslEnabled || !row.glslOnly) {
            delete *row.handle;
        }
    }
    ReleaseMenuPictures();
    for (const CatalogueTexture& row : CatalogueTextures) {
        if (GlslEnabled || !row.glslOnly) {
            *row.handle = nullptr;
        }
    }
}

Targa* CatalogueTextureFor(const char* path) {
    for (const CatalogueTexture& row : CatalogueTextures) {
        if (std::strcmp(row.path, path) == 0) {
            return *row.handle;
        }
    }
    return nullptr;
}
