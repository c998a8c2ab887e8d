#pragma once
#include "audio/Wave.h"

// The ship's three effects, loaded by the loading screen and freed at shutdown; null before
// and after. A clip whose file is missing or unplayable stays in place and is silent.
extern Wave* LaserShotSound;        // each shot
extern Wave* ThrustSound;           // looping while thrust is held
extern Wave* DebrisExplosionSound;  // each explosion

// Each clip and the file it loads from, in load order: laser shot, thrust, debris explosion.
struct ShipSoundFile {
    Wave** clip;
    const char* path;
};
constexpr int ShipSoundCount = 3;
extern const ShipSoundFile ShipSoundFiles[ShipSoundCount];

// Creates the three clips and then loads them in table order; clips from an earlier call are
// freed first.
void LoadShipSounds();
// Deletes the three clips that exist and sets all three pointers to null.
void FreeShipSounds();
