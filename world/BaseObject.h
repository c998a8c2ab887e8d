#pragma once
#include <cstdint>

// World conventions shared by every play-field object: x right and y up in world units, every
// object on the plane z = -25, time in seconds, angles in degrees with 0 facing +y and positive
// angles turning counter-clockwise.
constexpr float PlayFieldHalfWidth = 35.5f;
constexpr float PlayFieldHalfHeight = 26.5f;
constexpr float PlayFieldZ = -25.0f;
constexpr double DegreesToRadians = 0.017453292519943295;

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
};

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// What an object is. The collision pass and the objects themselves decide by kind.
enum class ObjectKind : uint32_t {
    Invuln = 0,
    LongRange = 1,
    Spread = 2,
    Starburst = 3,
    Ship = 4,
    SmallAsteroid = 5,
    MediumAsteroid = 6,
    LargeAsteroid = 7,
    HugeAsteroid = 8,
    Projectile = 9,
    Explosion = 10,
};

// Life state. A struck object turns Hit, its next Update turns it Dead, and the end of the
// frame removes every Dead object.
enum class ObjectState : int32_t {
    Dead = 0,
    Hit = 1,
    Active = 2,
};

// Collision mask bits: which groups of kinds an object tests itself against.
constexpr uint16_t HitsShip = 1;         // kind 4
constexpr uint16_t HitsPickups = 2;      // kinds 0 to 3
constexpr uint16_t HitsAsteroids = 4;    // kinds 5 to 8
constexpr uint16_t HitsProjectiles = 8;  // kind 9

// The mask bit whose group holds this kind; 0 for explosions and anything above, which belong to
// no group and so are never tested against.
inline uint16_t CollisionGroupOf(ObjectKind kind) {
    constexpr uint16_t Groups[] = {HitsPickups,   HitsPickups,    HitsPickups,   HitsPickups,
                                   HitsShip,      HitsAsteroids,  HitsAsteroids, HitsAsteroids,
                                   HitsAsteroids, HitsProjectiles};
    uint32_t index = static_cast<uint32_t>(kind);
    return index < sizeof(Groups) / sizeof(Groups[0]) ? Groups[index] : 0;
}

// One circle of a collision shape; the offset is relative to the body's centre and turns with it.
struct CollisionCircle {
    float radius = 0.0f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float offsetZ = 0.0f;
};

// The collision shape of an object: its circles, a copy of the object's centre and rotation,
// and where the centre stood when the frame's move began, all refreshed by every Update that
// moves the object. The collision pass follows the straight path from the start to the centre,
// so a fast object cannot pass through another between two frames. It lives inside its object,
// so the collision pass finds everything about a pair in two places.
struct CollisionBody {
    static constexpr uint32_t MaxCircles = 1;  // every shape of this game is one circle or none

    // Puts the centre at (x, y) with no move behind it, as for an object that has not moved yet.
    void Place(float x, float y) {
        centreX = startX = x;
        centreY = startY = y;
    }

    uint32_t circleCount = 0;
    CollisionCircle circles[MaxCircles];
    float centreX = 0.0f;
    float centreY = 0.0f;
    float centreZ = PlayFieldZ;
    float angle = 0.0f;
    float startX = 0.0f;  // the centre when this frame's move began
    float startY = 0.0f;
};

// A body of one circle of the given radius with no offset, centred on the position.
CollisionBody CircleBody(float radius, Vec3 position, float angle);

// The facing vector (-sin a, cos a) of an angle in degrees, the radians rounded to a float.
Vec2 FacingOf(float degrees);

// The play-field wrap: a point that has left the field by more than the margin on one side comes
// back fully hidden behind the opposite edge. The tests are strict, so a point exactly on a margin
// stays where it is.
Vec2 WrapToPlayField(Vec2 point, float margin);

// The asteroids' rotation wrap: an angle that reached a whole turn either way loses one turn.
float WrapRotation(float angle);

// Everything on the play field. The level loop updates, tests, draws and finally purges the
// objects of the object list through these nine operations; the objects end their own lives by
// setting their state.
class BaseObject {
public:
    virtual ~BaseObject();

    virtual void Update(float dt) {}
    virtual void Draw() {}
    // The six accessors are never overridden; final lets calls through a BaseObject pointer
    // skip the table, which keeps the quadratic collision pass cheap.
    virtual ObjectState GetState() const final { return state; }
    virtual void SetState(ObjectState value) final { state = value; }
    virtual void OnCollide(BaseObject* other) {}
    virtual ObjectKind GetKind() const final { return kind; }
    virtual uint16_t GetCollisionMask() const final { return collisionMask; }
    virtual const CollisionBody* GetBody() const final { return hasBody ? &body : nullptr; }
    virtual Vec3 GetPosition() const final { return position; }

    uint16_t collisionMask = 0;
    ObjectKind kind = ObjectKind::Explosion;
    Vec3 position;
    ObjectState state = ObjectState::Active;
    CollisionBody body;
    bool hasBody = true;  // false only for the explosion, which nothing ever tests

protected:
    BaseObject(ObjectKind kind, uint16_t collisionMask, Vec3 position);
    BaseObject(const BaseObject&) = delete;
    BaseObject& operator=(const BaseObject&) = delete;

    // The hit rule that begins every Update that moves the object: a struck object only turns
    // Dead. True when it did, and the Update must stop there.
    bool EndIfHit();

    // Moves the object by this frame's step, wraps it around the play field by the first circle's
    // radius and copies the position and the given angle into the body, which remembers where the
    // move began. A move that wrapped around the field counts as starting where it ended, so no
    // path is followed across the whole field.
    void MoveAndRefreshBody(Vec2 step, float angle);
};
