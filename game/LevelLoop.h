#pragma once
#include <cstdint>
#include <memory>

#include "game/GameRecord.h"
#include "render/Font.h"
#include "world/BaseObject.h"

class PickupObject;

// A random point of the play field on its half-unit grid: x one of -35.5, -34.5, ..., 34.5 and
// y one of -26.5, ..., 25.5, drawn from rand in that order. Asteroids start and power-ups fall
// at such points.
Vec2 RandomFieldPoint();

// The power-up kinds as the level numbers its drops.
enum PowerUpKind : int32_t {
    PowerUpInvuln = 1,
    PowerUpLongRange = 2,
    PowerUpSpread = 3,
    PowerUpStarburst = 4,
};
constexpr int32_t PowerUpKindCount = 4;

// The kind that falls when `drawn` (1 to 4) comes up after `last`: a repeat moves on to the next
// kind, 4 wrapping to 1, so two drops in a row are never alike.
int32_t NoRepeatPowerUpKind(int32_t drawn, int32_t last);

// A new pickup of a power-up kind (1 to 4) at the point, with its lifetime in seconds.
PickupObject* MakePowerUp(int32_t kind, Vec2 position, float lifetime);

// Kills every object of the field, or every one but the ship, and purges the dead.
void ClearField(bool keepShip);

// The HUD's "Lives", "Level" and "Score" texts along the bottom row of an 80 x 60 font, in the
// current colour: the level shows them under play, its summary under the tally.
void DrawStatusLine(Font& font, uint16_t levelNumber);

constexpr float PowerUpLifetime = 10.0f;      // seconds a dropped power-up waits
constexpr int32_t FirstReseedInterval = 777;  // milliseconds

// One level in play. The constructor is the start of the level (the ship placed and reset, the
// music on, the counters zeroed), PlayFrame one frame in its fixed order, Finish the end. The
// frame's steps are public so that a benchmark can time the work outside drawing.
class LevelPlay {
public:
    explicit LevelPlay(Level& level);
    LevelPlay(const LevelPlay&) = delete;
    LevelPlay& operator=(const LevelPlay&) = delete;

    // Input, drawing, re-seed and power-up, swap, updates, collisions, lives, completion and
    // controls. False once the level is over: completed, lost, or abandoned with Q.
    bool PlayFrame();
    // Clears the field but for the ship, releases the HUD font and stops the music; true when the
    // level was completed.
    bool Finish();

    // Background, objects and HUD.
    void DrawFrame();
    // Now and then a new random seed from the level clock, and a power-up when one is due.
    void ReseedAndDropPowerUp();
    // Frame time, updates, the collision pass, the purge, the next ship and the end of the level.
    void AdvanceWorld();
    // Hands the snapshot's controls to the ship; false when the loop is to be left.
    bool ApplyControls();

private:
    void DrawHud();
    void DrawShieldBar(const ShipObject& ship);

    Level& level;
    bool running = true;
    bool completed = false;
    std::unique_ptr<Font> hudFont;
    float shieldReference = 0.0f;  // the invulnerability time the shield bar shows as full
    int32_t reseedInterval = FirstReseedInterval;  // milliseconds
    float lastReseedTime = 0.0f;                   // milliseconds on the level clock
    float powerUpInterval = 0.0f;                  // seconds
    float lastPowerUpTime = 0.0f;                  // seconds on the level clock
    int32_t lastPowerUpKind = 0;
};

// Plays one level from placing the ship to its end; true when it was completed, false when it
// was lost (no life left once the last explosion is over) or abandoned with Q or by a quit
// request.
bool PlayLevel(Level& level);
