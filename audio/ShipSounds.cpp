#include "audio/ShipSounds.h"

Wave* LaserShotSound = nullptr;
Wave* ThrustSound = nullptr;
Wave* DebrisExplosionSound = nullptr;

const ShipSoundFile ShipSoundFiles[ShipSoundCount] = {
    {&LaserShotSound, "sound/ship/BC_shot-laser3.wav"},
    {&ThrustSound, "sound/ship/thrust.wav"},
    {&DebrisExplosionSound, "sound/ship/BC_explosion-debris.wav"},
};

void LoadShipSounds() {
    FreeShipSounds();
    for (const ShipSoundFile& sound : ShipSoundFiles) {
        *sound.clip = new Wave;
    }
    for (const ShipSoundFile& sound : ShipSoundFiles) {
        (*sound.clip)->Load(sound.path);
    }
}

void FreeShipSounds() {
    delete LaserShotSound;
    delete ThrustSound;
    delete DebrisExplosionSound;
    LaserShotSound = nullptr;
    ThrustSound = nullptr;
    DebrisExplosionSound = nullptr;
}
