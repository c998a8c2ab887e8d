#include "world/ShipObject.h"

#include <algorithm>
#include <cmath>

#include "audio/ShipSounds.h"
#include "game/GameRecord.h"
#include "render/AssetCatalogue.h"
#include "render/ShaderProgram.h"
#include "world/AsteroidObject.h"
#include "world/BaseBullet.h"
#include "world/ExplosionObject.h"
#include "world/ObjectList.h"
#include "world/SpriteDrawing.h"
#include "world/StarBullet.h"

namespace {

constexpr float FlameAmplitude = 3.0f;
constexpr float FlameLifetime = 0.266f;
constexpr float FlameWobbleRate = 4.0f;
constexpr float SpreadAngle = 12.0f;       // degrees off the heading
constexpr float ShortShotLifetime = 0.4f;  // seconds
constexpr float LongRangeShotLifetime = 0.6f;
constexpr float HugeAsteroidClearance = 19.0f;  // the ship starts aside while it is closer
constexpr float AsideX = 30.0f;

// True while the huge asteroid is alive and some huge asteroid lies near the middle of the field.
bool HugeAsteroidNearMiddle() {
    if (ObjectList == nullptr) {
        return false;
    }
    bool anyActive = false;
    bool anyNearMiddle = false;
    ObjectList->ForEachObject([&](BaseObject* object) {
        if (object->GetKind() != ObjectKind::HugeAsteroid) {
            return;
        }
        anyActive = anyActive || object->GetState() == ObjectState::Active;
        float x = object->GetPosition().x;
        anyNearMiddle = anyNearMiddle || (x > -HugeAsteroidClearance && x < HugeAsteroidClearance);
    });
    return anyActive && anyNearMiddle;
}

}  // namespace

Vec2 LimitShipSpeed(Vec2 candidate, Vec2 previous, float maxSpeed) {
    if (std::sqrt(candidate.x * candidate.x + candidate.y * candidate.y) <= maxSpeed) {
        return candidate;
    }
    constexpr float Limit = 60.0f;
    constexpr float LimitSquared = 3600.0f;
    if (std::fabs(candidate.x) > std::fabs(candidate.y)) {
        float kept = std::clamp(candidate.y, -Limit, Limit);
        float rebuilt = std::sqrt(LimitSquared - kept * kept);
        return Vec2{previous.x < 0.0f ? -rebuilt : rebuilt, kept};
    }
    float kept = std::clamp(candidate.x, -Limit, Limit);
    float rebuilt = std::sqrt(LimitSquared - kept * kept);
    return Vec2{kept, previous.y < 0.0f ? -rebuilt : rebuilt};
}

float WrapHeading(float heading) {
    if (heading >= 360.0f || heading <= -360.0f) {
        // Adding 0 turns the -0 that fmod gives for a negative whole turn into the +0 that
        // repeated addition gives.
        return std::fmod(heading, 360.0f) + 0.0f;
    }
    return heading;
}

std::unique_ptr<FlameEmitter> ShipObject::NewFlame() {
    return std::make_unique<FlameEmitter>(FlameAmplitude, FlameLifetime, FlameWobbleRate);
}

ShipObject::ShipObject()
    : BaseObject(ObjectKind::Ship, HitsPickups | HitsAsteroids,
                 Vec3{HugeAsteroidNearMiddle() ? AsideX : 0.0f, 0.0f, PlayFieldZ}) {
    body = CircleBody(Radius, position, 0.0f);
    flame = NewFlame();
}

void ShipObject::ResetShip() {
    heading = 0.0f;
    position = Vec3{0.0f, 0.0f, PlayFieldZ};
    facing = Vec3{0.0f, 1.0f, 0.0f};
    velocity = Vec3{};
    turnClockwise = false;
    turnCounterClockwise = false;
    thrusting = false;
    analogTurn = 0.0f;
    invulnerableTime = StartInvulnerable;
    vulnerable = false;
    flame.reset();
    flame = NewFlame();
    sinceShot = 0.0f;
    thrustSoundTimer = 0.0f;
}

void ShipObject::Update(float dt) {
    touchedHugeAsteroid = false;
    if (EndIfHit()) {
        return;
    }
    float ms = dt * 1000.0f;
    lastStep = ms;
    sinceShot += ms;
    thrustSoundTimer += ms;
    if (invulnerableTime > 0.0f) {
        invulnerableTime -= ms;
        if (invulnerableTime <= 0.0f) {
            vulnerable = true;
        }
    }

    float turn = 0.0f;
    if (analogTurn > AnalogDeadZone || analogTurn < -AnalogDeadZone) {
        turn = analogTurn * dt;
    }
    if (turn != 0.0f) {
        heading += turn;
    } else {
        if (turnClockwise) {
            heading -= TurnRate * dt;
        }
        if (turnCounterClockwise) {
            heading += TurnRate * dt;
        }
    }
    heading = WrapHeading(heading);

    if (thrustSoundTimer >= ThrustSoundRestart) {
        if (thrusting && ThrustSound != nullptr) {
            ThrustSound->Play(true);
        }
        thrustSoundTimer = 0.0f;
    }

    Vec2 newFacing = FacingOf(heading);
    facing = Vec3{newFacing.x, newFacing.y, 0.0f};
    float push = thrusting ? Acceleration * dt : 0.0f;
    Vec2 candidate{velocity.x + facing.x * push, velocity.y + facing.y * push};
    Vec2 limited = LimitShipSpeed(candidate, Vec2{velocity.x, velocity.y}, maxSpeed);
    // The move takes the mean of the velocities at the start and the end of the frame: under
    // steady thrust that is the exact distance, so the ship goes as far at any frame rate.
    Vec2 step{(velocity.x + limited.x) * 0.5f * dt, (velocity.y + limited.y) * 0.5f * dt};
    velocity.x = limited.x;
    velocity.y = limited.y;

    previousX = position.x;
    previousY = position.y;
    MoveAndRefreshBody(step, heading);

    Vec3 tail{position.x - facing.x * Radius, position.y - facing.y * Radius, position.z};
    flame->UpdateFlame(tail, heading);
}

bool ShipObject::Fire() {
    Vec2 nose{position.x + facing.x * Radius, position.y + facing.y * Radius};
    Vec2 direction{facing.x, facing.y};
    Vec2 base{velocity.x, velocity.y};
    switch (weapon) {
        case Weapon::Normal:
        case Weapon::LongRange:
        case Weapon::Spread:
        case Weapon::Starburst:
            break;
        default:
            return false;
    }
    if (sinceShot < fireInterval) {
        return false;
    }
    switch (weapon) {
        case Weapon::Normal:
            ObjectList->AddObject(
                new BaseBullet(direction, base, nose, heading, ShortShotLifetime));
            break;
        case Weapon::LongRange:
            ObjectList->AddObject(
                new BaseBullet(direction, base, nose, heading, LongRangeShotLifetime));
            break;
        case Weapon::Spread:
            ObjectList->AddObject(
                new BaseBullet(direction, base, nose, heading, ShortShotLifetime));
            for (float angle : {heading - SpreadAngle, heading + SpreadAngle}) {
                ObjectList->AddObject(
                    new BaseBullet(FacingOf(angle), base, nose, angle, ShortShotLifetime));
            }
            break;
        case Weapon::Starburst:
            ObjectList->AddObject(
                new StarBullet(direction, base, nose, heading, ShortShotLifetime));
            break;
    }
    // A shot that fell due within the last frame came late by part of it: the next one is due
    // that much earlier, so held fire keeps to the interval at any frame rate. A shot that was
    // due for longer (the button was up) carries nothing, and no more than half an interval is
    // ever carried, so neither a pause nor a long frame brings shots in a burst.
    float late = sinceShot - fireInterval;
    sinceShot = late < lastStep ? std::min(late, fireInterval * 0.5f) : 0.0f;
    if (LaserShotSound != nullptr) {
        LaserShotSound->Play(false);
    }
    return true;
}

// A contact that ends the ship leaves its wreck where it was.
void ShipObject::OnCollide(BaseObject* other) {
    bool wasActive = state == ObjectState::Active;
    ApplyContact(other);
    if (wasActive && state == ObjectState::Hit) {
        ObjectList->AddObject(
            new ExplosionObject(Vec2{position.x, position.y}, ExplosionObject::ShipWreckDuration));
    }
}

void ShipObject::ApplyContact(BaseObject* other) {
    switch (other->GetKind()) {
        case ObjectKind::Invuln:
            invulnerableTime = PickupInvulnerable;
            vulnerable = false;
            break;
        case ObjectKind::LongRange:
            weapon = Weapon::LongRange;
            fireInterval = 230.0f;
            break;
        case ObjectKind::Spread:
            weapon = Weapon::Spread;
            fireInterval = 300.0f;
            break;
        case ObjectKind::Starburst:
            weapon = Weapon::Starburst;
            fireInterval = 300.0f;
            break;
        case ObjectKind::SmallAsteroid:
        case ObjectKind::MediumAsteroid:
        case ObjectKind::LargeAsteroid:
            if (vulnerable) {
                state = ObjectState::Hit;
                LoseShip();
            }
            break;
        case ObjectKind::HugeAsteroid:
            if (vulnerable) {
                state = ObjectState::Hit;
                LoseShip();
            } else {
                BounceOff(other);
            }
            break;
        default:
            break;
    }
}

// Undoes this frame's move; of two frames of contact in a row only the first reverses the ship,
// adding the asteroid's own drift. The collision pass meets the pair from both sides, so the
// second report of a contact within one frame changes nothing.
void ShipObject::BounceOff(const BaseObject* hugeAsteroid) {
    if (touchedHugeAsteroid) {
        return;
    }
    touchedHugeAsteroid = true;
    position.x = previousX;
    position.y = previousY;
    if (!bounced) {
        const Vec3& drift = static_cast<const AsteroidObject*>(hugeAsteroid)->velocity;
        velocity.x = -velocity.x + drift.x;
        velocity.y = -velocity.y + drift.y;
        bounced = true;
    } else {
        bounced = false;
    }
}

void ShipObject::LoseShip() {
    GameSession->shipActive = false;
    turnClockwise = false;
    turnCounterClockwise = false;
    StopThrusting();
    GameSession->lives -= 1;
    GameSession->ship = nullptr;
}

void ShipObject::StopThrusting() {
    if (!thrusting) {
        return;
    }
    thrusting = false;
    if (ThrustSound != nullptr) {
        ThrustSound->Stop();
    }
    flame->emitting = false;
}

// The flame first, so it lies under the ship. While invulnerable the shader path adds the
// shield's noise on unit 2, moved by the time since the last shot taken as radians, which
// makes it jump every frame.
void ShipObject::Draw() {
    flame->DrawFlame();
    PlaceSprite(position, heading);
    EnableSpriteBlending();
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const ShaderProgram* program = vulnerable ? DefaultProgram : ShipInvProgram;
    if (UsesShaderPath(program)) {
        glActiveTexture(GL_TEXTURE0);
        BindTexture(Catalogue.glslShip);
        glEnable(GL_TEXTURE_2D);
        glActiveTexture(GL_TEXTURE1);
        BindTexture(vulnerable ? Catalogue.glslShipNormal : Catalogue.glslShipInvNormal);
        glEnable(GL_TEXTURE_2D);
        if (!vulnerable) {
            glActiveTexture(GL_TEXTURE2);
            BindTexture(Catalogue.glslNoise);
            glEnable(GL_TEXTURE_2D);
        }
        glUseProgram(program->program);
        if (!vulnerable) {
            glUniform1i(glGetUniformLocation(program->program, ShaderUniforms::Texture2.name), 2);
            glUniform1f(glGetUniformLocation(program->program, ShaderUniforms::NoiseOffset.name),
                        static_cast<float>(std::sin(sinceShot)));
        }
        SetLitSpriteUniforms(program->program, heading, 0.3, 0.6f);
        DrawStripQuad(0.0f, 0.0f, HalfSize, position.z, true);
        glUseProgram(0);
        DisableTextureUnitsDownFrom(2);
    } else {
        // The flame may have drawn through its shader while this program could not be built,
        // leaving units 0 and 1 textured and unit 1 active: the ship's picture goes on unit 0
        // alone, and unit 0 stays active for the fixed-function draws that follow.
        DisableTextureUnitsDownFrom(1);
        glEnable(GL_TEXTURE_2D);
        BindTexture(vulnerable ? Catalogue.ship : Catalogue.shipInv);
        DrawStripQuad(0.0f, 0.0f, HalfSize, position.z, true);
    }
    glDisable(GL_TEXTURE_2D);
}
