#pragma once
#include "render/Targa.h"

// Every texture the play field, the HUD and the story screens draw, loaded once while the
// loading screen shows and kept until shutdown. A handle is null before loading, after release,
// and, for the shader-only textures, for the whole run when GlslEnabled is off. Image variants
// index the arrays 0, 1, 2.
struct AssetCatalogueRecord {
    Targa* asteroid[3] = {};  // "textures/gameplay/asteroidN.tga"
    Targa* finalAsteroid = nullptr;
    Targa* shipPiece[7] = {};  // the ship's wreck, "textures/gameplay/shippN.tga"

    // Shader path only.
    Targa* glslShip = nullptr;
    Targa* glslShipNormal = nullptr;
    Targa* glslShipInv = nullptr;  // loaded and released; nothing draws it
    Targa* glslShipInvNormal = nullptr;
    Targa* glslNoise = nullptr;
    Targa* glslAsteroid[3] = {};
    Targa* glslAsteroidNormal[3] = {};
    Targa* glslFlame = nullptr;
    Targa* glslFlameAlpha = nullptr;
    Targa* glslPowerInvuln = nullptr;
    Targa* glslPowerSpread = nullptr;
    Targa* glslPowerStarburst = nullptr;
    Targa* glslPowerLongRange = nullptr;
    Targa* glslPowerInvulnNormal = nullptr;
    Targa* glslPowerSpreadNormal = nullptr;
    Targa* glslPowerStarburstNormal = nullptr;
    Targa* glslPowerLongRangeNormal = nullptr;

    Targa* ship = nullptr;
    Targa* shipInv = nullptr;
    Targa* particle = nullptr;
    Targa* bullet = nullptr;
    Targa* powerInvuln = nullptr;
    Targa* powerLongRange = nullptr;
    Targa* powerSpread = nullptr;
    Targa* powerStarburst = nullptr;
    Targa* displayBox = nullptr;
    Targa* start = nullptr;
    Targa* summary = nullptr;
    Targa* highScore = nullptr;
    Targa* background = nullptr;
    Targa* storyFrame1 = nullptr;
    Targa* storyFrame2 = nullptr;
    Targa* credits = nullptr;
};
extern AssetCatalogueRecord Catalogue;

// One row of the catalogue: the file, how it loads and the handle it fills.
struct CatalogueTexture {
    const char* path;
    bool mipmapped;
    bool glslOnly;
    Targa** handle;
};

// The 48 rows in load order.
constexpr int CatalogueTextureCount = 48;
extern const CatalogueTexture CatalogueTextures[CatalogueTextureCount];

// Constructs the textures (the shader-only ones only with GlslEnabled), loads the menu bundles,
// loads every texture in table order and finds the menu pictures. A missing file leaves its
// texture empty (texture name NoTexture) and loading goes on.
void LoadAssetCatalogue();

// Destroys every texture (deleting its GL texture) and the menu pictures; every handle is null
// afterwards, so a second call does nothing.
void ReleaseAssetCatalogue();

// The catalogue texture loaded from path, or null.
Targa* CatalogueTextureFor(const char* path);
