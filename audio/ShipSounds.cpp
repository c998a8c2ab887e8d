#include "audio/ShipSounds.h"

Wave* LaserShotSound = nullptr;
Wave* ThrustSound = nullptr;
Wave* DebrisExplosionSound = nullptr;

void LoadShipSounds() {
    FreeShipSounds();
    LaserShotSound = new Wave;
    ThrustSound = new Wave;
    DebrisExplosionSound = new Wave;
    LaserShotSound->Load("sound/ship/BC_shot-laser3.wav");
    ThrustSound->Load("sound/ship/thrust.wav");
    DebrisExplosionSound->Load("sound/ship/BC_explosion-debris.wav");
}

void FreeShipSounds() {
    delete LaserShotSound;
    delete ThrustSound;
    delete DebrisExplosionSound;
    LaserShotSound = nullptr;
    ThrustSound = nullptr;
    DebrisExplosionSound = nullptr;
}
