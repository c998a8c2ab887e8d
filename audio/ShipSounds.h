#pragma once
#include "audio/Wave.h"

// The ship's three effects, loaded by the loading screen and freed at shutdown; null before
// and after. A clip whose file is missing or unplayable stays in place and is silent.
extern Wave* LaserShotSound;        // each shot
extern Wave* ThrustSound;           // looping while thrust is held
extern Wave* DebrisExplosionSound;  // each explosion

// Creates the three clips and loads them, laser shot, thrust, debris explosion, in that order;
// clips from an earlier call are freed first.
void LoadShipSounds();
// Deletes the three clips that exist and sets all three pointers to null.
void FreeShipSounds();
