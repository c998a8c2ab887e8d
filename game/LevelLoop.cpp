#include "game/LevelLoop.h"

#include <cstdio>
#include <cstdlib>

#include "app/Clock.h"
#include "app/Input.h"
#include "app/Platform.h"
#include "app/Program.h"
#include "app/WindowSight.h"
#include "audio/OggVorbis.h"
#include "game/CollisionPass.h"
#include "platform/System.h"
#include "render/AssetCatalogue.h"
#include "render/GLEntryPoints.h"
#include "screens/PictureQuad.h"
#include "world/InvulnObject.h"
#include "world/LongRangeObject.h"
#include "world/ObjectList.h"
#include "world/ShipObject.h"
#include "world/SpreadObject.h"
#include "world/SpriteDrawing.h"
#include "world/StarburstObject.h"

namespace {

// The starry background, filling the view behind everything.
constexpr PictureQuad BackgroundQuad{-1.33f, 1.0f, 1.33f, -1.0f, -1.5f, 0.0f, 1.0f, 0.0f, 1.0f};

// The two HUD boxes sit on the bottom edge of the field: the weapon icon's and the shield bar's.
constexpr float WeaponBoxX = 9.0f;
constexpr float ShieldBoxX = 20.0f;
constexpr float HudBoxY = -26.5f;
constexpr float HudBoxZ = -25.0f;  // and the quads lie 25 further: at -50 in all
constexpr float WeaponIconHalfSize = 0.75f;

constexpr float AnalogTurnPerStickUnit = -4.0f;  // degrees per second for each stick unit

bool Held(uint8_t state) {
    return (state & HeldBit) != 0;
}

// What the end of a frame needs to know about the field after the purge.
struct FieldCensus {
    int32_t activeAsteroids = 0;
    bool activeExplosion = false;
    bool activeShip = false;
};

FieldCensus TakeCensus() {
    FieldCensus census;
    ObjectList->ForEachObject([&census](BaseObject* object) {
        if (object->GetState() != ObjectState::Active) {
            return;
        }
        switch (object->GetKind()) {
            case ObjectKind::SmallAsteroid:
            case ObjectKind::MediumAsteroid:
            case ObjectKind::LargeAsteroid:
            case ObjectKind::HugeAsteroid:
                ++census.activeAsteroids;
                break;
            case ObjectKind::Explosion:
                census.activeExplosion = true;
                break;
            case ObjectKind::Ship:
                census.activeShip = true;
                break;
            default:
                break;
        }
    });
    return census;
}

// A new ship, made the player's and put on the field.
void PlaceNewShip() {
    auto* ship = new ShipObject;
    GameSession->ship = ship;
    ObjectList->AddObject(ship);
}

void DrawBackground() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glDepthMask(GL_FALSE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    BindTexture(Catalogue.background);
    DrawPictureQuad(BackgroundQuad);
    glDepthMask(GL_TRUE);
    glDisable(GL_TEXTURE_2D);
}

// Moves the drawing to a HUD box and readies blended texturing with the texture bound.
void EnterHudBox(float x, const Targa* texture) {
    glLoadIdentity();
    glTranslatef(x, HudBoxY, HudBoxZ);
    EnableSpriteBlending();
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    BindTexture(texture);
}

void DrawHudBoxes() {
    EnterHudBox(WeaponBoxX, Catalogue.displayBox);
    DrawCornerQuad(0.0f, 0.0f, 1.0f, HudBoxZ, true);
    glLoadIdentity();
    glTranslatef(ShieldBoxX, HudBoxY, HudBoxZ);
    DrawCornerQuad(0.0f, 0.0f, 1.0f, HudBoxZ, true);
    glDisable(GL_TEXTURE_2D);
}

const Targa* WeaponIcon(Weapon weapon) {
    switch (weapon) {
        case Weapon::LongRange:
            return Catalogue.powerLongRange;
        case Weapon::Spread:
            return Catalogue.powerSpread;
        case Weapon::Starburst:
            return Catalogue.powerStarburst;
        default:
            return nullptr;
    }
}

void DrawWeaponIcon(const ShipObject& ship) {
    if (ship.weapon == Weapon::Normal) {
        return;
    }
    EnterHudBox(WeaponBoxX, WeaponIcon(ship.weapon));
    DrawCornerQuad(0.0f, 0.0f, WeaponIconHalfSize, HudBoxZ, true);
    glDisable(GL_TEXTURE_2D);
}

}  // namespace

Vec2 RandomFieldPoint() {
    float x = static_cast<float>(std::rand() % 710 / 10) - PlayFieldHalfWidth;
    float y = static_cast<float>(std::rand() % 530 / 10) - PlayFieldHalfHeight;
    return Vec2{x, y};
}

void ClearField(bool keepShip) {
    ObjectList->ForEachObject([keepShip](BaseObject* object) {
        if (!keepShip || object->GetKind() != ObjectKind::Ship) {
            object->SetState(ObjectState::Dead);
        }
    });
    ObjectList->PurgeDeadObjects();
}

void DrawStatusLine(Font& font, uint16_t levelNumber) {
    char text[32];
    std::snprintf(text, sizeof text, "Lives:%d", GameSession->lives);
    font.DrawText(1, 1, text);
    std::snprintf(text, sizeof text, "Level:%d", levelNumber);
    font.DrawText(10, 1, text);
    std::snprintf(text, sizeof text, "Score:%d", static_cast<int32_t>(GameSession->score));
    font.DrawText(20, 1, text);
}

int32_t NoRepeatPowerUpKind(int32_t drawn, int32_t last) {
    if (drawn != last) {
        return drawn;
    }
    return drawn + 1 > PowerUpKindCount ? 1 : drawn + 1;
}

PickupObject* MakePowerUp(int32_t kind, Vec2 position, float lifetime) {
    switch (kind) {
        case PowerUpInvuln:
            return new InvulnObject(position, lifetime);
        case PowerUpLongRange:
            return new LongRangeObject(position, lifetime);
        case PowerUpSpread:
            return new SpreadObject(position, lifetime);
        case PowerUpStarburst:
            return new StarburstObject(position, lifetime);
        default:
            return nullptr;
    }
}

LevelPlay::LevelPlay(Level& level)
    : level(level), powerUpInterval(5.0f + static_cast<float>(std::rand() % 16)) {
    hudFont = std::make_unique<Font>();
    hudFont->Init(2);
    RestartClock(level.clock.get());
    RestartClock(GlobalClock);
    if (!TakeCensus().activeShip) {
        PlaceNewShip();
    }
    if (GameSession->ship != nullptr) {
        GameSession->ship->ResetShip();
    }
    GameSession->shipActive = true;
    // Unlike the screens around it, play takes keys held from before at once: fire held through
    // the banner fires at the first frame.
    HonourHeldInput();
    GameMusic->Play(true);
    AsteroidsShot = 0;
    level.shotsFired = 0;
}

bool LevelPlay::PlayFrame() {
    PumpInput();
    TakeInputSnapshot();
    DrawFrame();
    ReseedAndDropPowerUp();
    ShowFrame();
    AdvanceWorld();
    return ApplyControls();
}

void LevelPlay::DrawFrame() {
    DrawBackground();
    ObjectList->ForEachObject([](BaseObject* object) { object->Draw(); });
    DrawHud();
}

// The text line along the bottom, the two boxes, and what the ship puts in them.
void LevelPlay::DrawHud() {
    glColor3f(0.77f, 0.77f, 0.99f);
    DrawStatusLine(*hudFont, level.number);
    hudFont->DrawText(40, 1, "Powerup:");
    hudFont->DrawText(53, 1, "Shield:");
    DrawHudBoxes();
    if (GameSession->ship != nullptr) {
        DrawWeaponIcon(*GameSession->ship);
        DrawShieldBar(*GameSession->ship);
    }
}

// The bar counts the invulnerability left against what it was when the bar first showed, so a
// second invulnerability taken while the first runs makes it taller than its box.
void LevelPlay::DrawShieldBar(const ShipObject& ship) {
    if (ship.vulnerable) {
        shieldReference = 0.0f;
        return;
    }
    if (shieldReference == 0.0f) {
        shieldReference = ship.invulnerableTime;
    }
    if (shieldReference <= 0.0f || ship.invulnerableTime <= 0.0f) {
        return;
    }
    float r = ship.invulnerableTime / shieldReference;
    float top = 2.0f * r - 1.0f;
    EnterHudBox(ShieldBoxX, Catalogue.powerInvuln);
    glBegin(GL_TRIANGLES);
    glTexCoord2f(0.0f, 1.0f - r);
    glVertex3f(-1.0f, top, HudBoxZ);
    glTexCoord2f(1.0f, 1.0f - r);
    glVertex3f(1.0f, top, HudBoxZ);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, -1.0f, HudBoxZ);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, -1.0f, HudBoxZ);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, -1.0f, HudBoxZ);
    glTexCoord2f(0.0f, 1.0f - r);
    glVertex3f(-1.0f, top, HudBoxZ);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void LevelPlay::ReseedAndDropPowerUp() {
    Clock* clock = level.clock.get();
    ReadClock(clock);
    if (ElapsedMilliseconds(clock) - lastReseedTime >= static_cast<float>(reseedInterval)) {
        ReadClock(clock);
        std::srand(static_cast<unsigned>(static_cast<int32_t>(ElapsedMilliseconds(clock))));
        ReadClock(clock);
        lastReseedTime = ElapsedMilliseconds(clock);
        reseedInterval = std::rand() % 1777 + 1;
    }
    ReadClock(clock);
    if (ElapsedSeconds(clock) - lastPowerUpTime >= powerUpInterval) {
        if (ObjectList != nullptr) {
            Vec2 point = RandomFieldPoint();
            int32_t kind = NoRepeatPowerUpKind(std::rand() % PowerUpKindCount + 1, lastPowerUpKind);
            lastPowerUpKind = kind;
            ObjectList->AddObject(MakePowerUp(kind, point, PowerUpLifetime));
        }
        ReadClock(clock);
        lastPowerUpTime = ElapsedSeconds(clock);
        powerUpInterval = static_cast<float>(std::rand() % 16) + 5.0f;
    }
}

void LevelPlay::AdvanceWorld() {
    ReadClock(ObjectList->clock);
    float now = ElapsedSeconds(ObjectList->clock);
    ObjectList->currentTime = now;
    ObjectList->frameDelta = now - ObjectList->previousTime;
    ObjectList->previousTime = now;
    float dt = ObjectList->frameDelta;
    ObjectList->ForEachObject([dt](BaseObject* object) { object->Update(dt); });
    RunCollisionPass();
    ObjectList->PurgeDeadObjects();

    // A lost ship comes back only once its wreck (and any other explosion) is gone; with no life
    // left the level ends there instead.
    FieldCensus census = TakeCensus();
    if (GameSession->lives >= 0) {
        if (GameSession->ship == nullptr && !census.activeExplosion) {
            PlaceNewShip();
            GameSession->shipActive = true;
        }
    } else if (!census.activeExplosion) {
        completed = false;
        running = false;
    }
    if (census.activeAsteroids == 0 && running && !census.activeExplosion) {
        completed = true;
        running = false;
    }
}

bool LevelPlay::ApplyControls() {
    const InputRecord& input = InputSnapshot;
    ShipObject* ship = GameSession->ship;
    bool controlling = GameSession->shipActive && ship != nullptr;
    if (controlling) {
        if (Held(input.keys[KeyUp]) || Held(input.pad.buttons[PadButtonA])) {
            if (!ship->thrusting) {
                ship->thrusting = true;
                ship->flame->emitting = true;
            }
        } else {
            ship->StopThrusting();
        }
        ship->analogTurn = input.pad.stickX * AnalogTurnPerStickUnit;
        ship->turnCounterClockwise = Held(input.keys[KeyLeft]) || input.pad.dpadLeft == 1;
        ship->turnClockwise = Held(input.keys[KeyRight]) || input.pad.dpadRight == 1;
        if (Held(input.keys[KeySpace]) || Held(input.pad.buttons[PadButtonX])) {
            if (ship->Fire()) {
                level.shotsFired += 1;
            }
        }
    }
    if (Held(input.keys[KeyQ])) {
        if (controlling) {
            ship->StopThrusting();
        }
        completed = false;
        return false;
    }
    return running;
}

bool LevelPlay::Finish() {
    GameSession->shipActive = false;
    ClearField(true);
    hudFont.reset();
    GameMusic->Stop();
    return completed;
}

bool PlayLevel(Level& level) {
    LevelPlay play(level);
    // A quit request abandons the level, as Q does.
    while (!QuitRequested() && play.PlayFrame()) {
    }
    return play.Finish();
}
