// The play field: the object list and its collision pass, and the objects one by one:
// asteroids, pickups, the ship and its shots, and the same game at any frame rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "game/CollisionPass.h"
#include "tests/support/PlayField.h"
#include "world/AwardPoints.h"
#include "world/BaseBullet.h"
#include "world/ExplosionObject.h"
#include "world/HugeAsteroidObject.h"
#include "world/InvulnObject.h"
#include "world/LargeAsteroidObject.h"
#include "world/LongRangeObject.h"
#include "world/MediumAsteroidObject.h"
#include "world/ShipObject.h"
#include "world/SmallAsteroidObject.h"
#include "world/SpreadObject.h"
#include "world/StarBullet.h"
#include "world/StarFlak.h"
#include "world/StarSpawner.h"
#include "world/StarburstObject.h"

namespace {

std::vector<std::string> Contacts;

// An object that records every contact as "self<-other" and, when asked, adds a child at its own
// place the first time it is touched, or ends on its first contact as a struck object does.
class Probe : public BaseObject {
public:
    Probe(std::string name, ObjectKind kind, uint16_t mask, bool spawns = false,
          bool endsOnContact = false)
        : BaseObject(kind, mask, Vec3{0.0f, 0.0f, PlayFieldZ}),
          name(std::move(name)),
          spawns(spawns),
          endsOnContact(endsOnContact) {
        body = CircleBody(1.0f, position, 0.0f);
    }

    void OnCollide(BaseObject* other) override {
        Contacts.push_back(name + "<-" + static_cast<Probe*>(other)->name);
        if (spawns) {
            spawns = false;
            auto* child = new Probe(name + "-child", ObjectKind::SmallAsteroid, HitsProjectiles);
            child->body.Place(body.centreX, body.centreY);
            ObjectList->AddObject(child);
        }
        if (endsOnContact) {
            state = ObjectState::Hit;
        }
    }

    std::string name;
    bool spawns;
    bool endsOnContact;
};

// The collision pass as a plain double walk over the whole list, every pair put to BodiesTouch:
// what the pass must find, in the order it must find it.
void WalkEveryPair() {
    for (int32_t outer = ObjectList->HeadPosition(); outer >= 0; --outer) {
        BaseObject* a = ObjectList->ObjectAt(outer);
        for (int32_t inner = ObjectList->HeadPosition();
             inner >= 0 && a->GetState() == ObjectState::Active; --inner) {
            BaseObject* b = ObjectList->ObjectAt(inner);
            if (b != a && b->GetState() == ObjectState::Active &&
                (a->GetCollisionMask() & CollisionGroupOf(b->GetKind())) != 0 &&
                BodiesTouch(a, b)) {
                a->OnCollide(b);
                b->OnCollide(a);
            }
        }
    }
}

// A crowd of probes of every group with the game's masks, moving up to 6 units each way in the
// frame, some of which end or shed a child when touched; the same crowd for the same seed.
void AddCrowd(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> place(-12.0f, 12.0f);
    std::uniform_real_distribution<float> move(-6.0f, 6.0f);
    std::uniform_real_distribution<float> radius(0.3f, 2.0f);
    const std::pair<ObjectKind, uint16_t> kinds[] = {
        {ObjectKind::Spread, HitsShip},
        {ObjectKind::Ship, HitsPickups | HitsAsteroids},
        {ObjectKind::MediumAsteroid, HitsShip | HitsProjectiles},
        {ObjectKind::Projectile, HitsAsteroids}};
    for (int i = 0; i < 80; ++i) {
        const auto& [kind, mask] = kinds[random() % 4];
        auto* probe =
            new Probe(std::to_string(i), kind, mask, random() % 5 == 0, random() % 3 == 0);
        probe->body.circles[0].radius = radius(random);
        probe->body.Place(place(random), place(random));
        if (random() % 4 != 0) {
            probe->body.startX = probe->body.centreX + move(random);
            probe->body.startY = probe->body.centreY + move(random);
        }
        ObjectList->AddObject(probe);
    }
}

}  // namespace

TEST(PlayFieldWrap, AnObjectExactlyOnTheMarginStaysAndOneBeyondComesBackHidden) {
    const float right = 35.5f + 0.6f;
    const float top = 26.5f + 0.6f;
    EXPECT_EQ(WrapToPlayField(Vec2{right, top}, 0.6f).x, right);
    EXPECT_EQ(WrapToPlayField(Vec2{right, top}, 0.6f).y, top);
    EXPECT_EQ(WrapToPlayField(Vec2{std::nextafter(right, 99.0f), 0.0f}, 0.6f).x, -right);
    EXPECT_EQ(WrapToPlayField(Vec2{std::nextafter(-right, -99.0f), 0.0f}, 0.6f).x, right);
    EXPECT_EQ(WrapToPlayField(Vec2{0.0f, std::nextafter(top, 99.0f)}, 0.6f).y, -top);
    EXPECT_EQ(WrapToPlayField(Vec2{0.0f, -43.0f}, 16.0f).y, 42.5f);

    EXPECT_EQ(WrapRotation(360.0f), 0.0f);
    EXPECT_EQ(WrapRotation(-360.0f), 0.0f);
    EXPECT_EQ(WrapRotation(359.5f), 359.5f);
    EXPECT_EQ(WrapRotation(800.0f), 440.0f) << "one turn only";
}

using ObjectListTest = PlayFieldTest;

TEST_F(ObjectListTest, AddsAtTheHeadAndPurgesOnlyTheDeadKeepingTheOrder) {
    BaseObject* objects[3];
    for (BaseObject*& object : objects) {
        object = Add(new ExplosionObject(Vec2{}, 1.0f));
    }
    objects[1]->SetState(ObjectState::Dead);
    objects[2]->SetState(ObjectState::Hit);
    EXPECT_EQ(ObjectList->PurgeDeadObjects(), 2);
    EXPECT_EQ(ObjectList->ObjectAt(ObjectList->HeadPosition()), objects[2]);
    EXPECT_EQ(ObjectList->ObjectAt(0), objects[0]);
    EXPECT_EQ(ObjectList->AddObject(new ExplosionObject(Vec2{}, 1.0f)), 3);
    ObjectList->ClearWorldList();
    EXPECT_EQ(ObjectList->Count(), 0);
}

TEST_F(ObjectListTest, TheCollisionPassCallsBothSidesAndTestsNewObjectsOnlyAsSecond) {
    Contacts.clear();
    // From head to tail: a shot, an asteroid that sheds a child when first touched, another shot.
    Add(new Probe("late-shot", ObjectKind::Projectile, HitsAsteroids));
    Add(new Probe("rock", ObjectKind::SmallAsteroid, HitsProjectiles, true));
    Add(new Probe("shot", ObjectKind::Projectile, HitsAsteroids));
    RunCollisionPass();
    EXPECT_EQ(Contacts, (std::vector<std::string>{
                            "shot<-rock", "rock<-shot",  // rock-child joins at the head here
                            "rock<-shot", "shot<-rock", "rock<-late-shot", "late-shot<-rock",
                            "late-shot<-rock-child", "rock-child<-late-shot",  // never first
                            "late-shot<-rock", "rock<-late-shot"}));
}

// The pass skips the pairs whose swept boxes do not meet; it must still find every pair that
// touches during the frame, in the order a walk over every pair finds them.
TEST_F(ObjectListTest, TheCollisionPassFindsWhatAWalkOverEveryPairFindsInTheSameOrder) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        Contacts.clear();
        AddCrowd(seed);
        WalkEveryPair();
        const std::vector<std::string> expected = Contacts;
        ObjectList->ClearWorldList();
        Contacts.clear();
        AddCrowd(seed);
        RunCollisionPass();
        EXPECT_EQ(Contacts, expected) << "seed " << seed;
        EXPECT_GT(expected.size(), 20u) << "a crowd that hardly meets proves little";
        ObjectList->ClearWorldList();
    }
}

TEST_F(ObjectListTest, BodiesTouchWhenJustTouchingWithOffsetsTurnedByTheAngle) {
    auto* left = Add(new MediumAsteroidObject(Vec3{}, Vec3{0.0f, 0.0f, PlayFieldZ}, 0.0f));
    auto* right = Add(new MediumAsteroidObject(Vec3{}, Vec3{1.5f, 0.0f, PlayFieldZ}, 0.0f));
    left->body.circles[0].radius = 0.75f;
    right->body.circles[0].radius = 0.75f;
    EXPECT_TRUE(BodiesTouch(left, right)) << "0.75 + 0.75 = 1.5 apart";
    right->body.Place(1.5001f, 0.0f);
    EXPECT_FALSE(BodiesTouch(left, right));

    left->body.circles[0].offsetX = 1.0f;  // turned by 90 degrees it lies one unit below
    left->body.angle = 90.0f;
    right->body.Place(0.0f, -2.5f);
    EXPECT_TRUE(BodiesTouch(left, right));
    right->body.Place(0.0f, 1.0f);
    EXPECT_FALSE(BodiesTouch(left, right));
    right->body.startY = -10.0f;  // it came up through the turned circle during the frame
    EXPECT_TRUE(BodiesTouch(left, right));

    EXPECT_FALSE(BodiesTouch(Add(new StarSpawner(Vec2{}, 0.2f)), left)) << "no circles";
    EXPECT_FALSE(BodiesTouch(left, Add(new ExplosionObject(Vec2{}, 0.75f)))) << "no body";
    left->SetState(ObjectState::Hit);
    right->SetState(ObjectState::Dead);
    right->body.Place(0.0f, -1.0f);
    EXPECT_FALSE(BodiesTouch(left, right)) << "neither is active";
}

TEST_F(ObjectListTest, EachKindTouchesWithinOneCircleOfItsOwnRadius) {
    const Vec3 at{0.0f, 0.0f, PlayFieldZ};
    const std::pair<BaseObject*, float> bodies[] = {
        {Add(new SmallAsteroidObject(Vec3{}, at, 0.0f)), 0.45f},
        {Add(new MediumAsteroidObject(Vec3{}, at, 0.0f)), 0.95f},
        {Add(new LargeAsteroidObject(Vec3{}, at, 0.0f)), 1.95f},
        {Add(new HugeAsteroidObject(Vec3{}, at, 0.0f)), 16.0f},
        {Add(new ShipObject), 1.75f},
        {Add(new InvulnObject(Vec2{}, 1.0f)), 0.95f},
        {Add(new LongRangeObject(Vec2{}, 1.0f)), 0.95f},
        {Add(new SpreadObject(Vec2{}, 1.0f)), 0.95f},
        {Add(new StarburstObject(Vec2{}, 1.0f)), 0.95f}};
    for (const auto& [object, radius] : bodies) {
        const CollisionBody* body = object->GetBody();
        ASSERT_EQ(body->circleCount, 1u) << static_cast<int>(object->GetKind());
        EXPECT_EQ(body->circles[0].radius, radius) << static_cast<int>(object->GetKind());
    }
}

TEST_F(ObjectListTest, AwardPointsGrantsAtMostOneLifePerAward) {
    AwardPoints(250);  // the first points of a game grant a life
    session.score = 499999;
    AwardPoints(1);
    AwardPoints(1200000);
    EXPECT_EQ(session.lives, 6) << "one life for each award, though two thresholds were crossed";
    EXPECT_EQ(session.extraLives, 3u);
    EXPECT_EQ(session.score, 1700000u);
    EXPECT_EQ(LevelScore, 1200251u);
}

namespace {

Vec3 At(float x, float y) {
    return Vec3{x, y, PlayFieldZ};
}

BaseBullet* BulletAt(float x, float y) {
    return new BaseBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{x, y}, 0.0f, 0.4f);
}

}  // namespace

// At speed factor 3 a component is a whole number of hundredths from -2.7 to 3.29, never 0.
TEST(AsteroidRandom, SpinsAreWholeDegreesAndVelocitiesSpanTheirRangeButAreNeverZero) {
    std::srand(5);
    float lowest = 99.0f, highest = -99.0f;
    for (int i = 0; i < 1000; ++i) {
        float spin = RandomAsteroidSpin();
        EXPECT_TRUE(spin >= 0.0f && spin <= 120.0f && spin == std::floor(spin)) << spin;
        Vec3 velocity = RandomAsteroidVelocity(3);
        for (float component : {velocity.x, velocity.y}) {
            lowest = std::min(lowest, component);
            highest = std::max(highest, component);
        }
    }
    EXPECT_TRUE(lowest >= -2.7f - 1e-5f && lowest < -2.6f) << lowest;
    EXPECT_TRUE(highest <= 3.29f + 1e-5f && highest > 3.19f) << highest;
    unsigned seed = 0;  // a seed whose first draw is the raw value that would give 0.0
    do {
        std::srand(++seed);
    } while (std::rand() % 600 != 270);
    std::srand(seed);
    EXPECT_EQ(RandomAsteroidVelocity(3).x, 0.3f);
    EXPECT_EQ(RandomAsteroidVelocity(0).y, 0.3f) << "a speed below 1 must not divide by zero";
}

using AsteroidTest = PlayFieldTest;

TEST_F(AsteroidTest, DriftsAndSpinsByTheFrameTimeAndKeepsItsAngleBelowAFullTurn) {
    auto* medium = Add(new MediumAsteroidObject(Vec3{2.0f, -1.0f, 0.0f}, At(0.0f, 0.0f), 90.0f));
    for (int frame = 1; frame <= 8; ++frame) {
        RunFrame(0.5f);
        EXPECT_EQ(medium->position.x, 1.0f * frame) << frame;
        EXPECT_EQ(medium->position.y, -0.5f * frame) << frame;
        EXPECT_EQ(medium->angle, std::fmod(45.0f * frame, 360.0f)) << "360 drops to 0";
    }
}

TEST_F(AsteroidTest, AStruckMediumBreaksIntoFiveSmallAtItsCentreCountingOnlyShots) {
    CurrentLevel = 14;  // speed factor 8
    auto* medium = Add(new MediumAsteroidObject(Vec3{}, At(4.0f, -3.0f), 0.0f));
    uint32_t firstVariant = AsteroidVariantCounter;
    std::srand(77);
    medium->OnCollide(Add(BulletAt(0.0f, 0.0f)));
    EXPECT_EQ(medium->GetState(), ObjectState::Hit);
    EXPECT_EQ(AsteroidsShot, 1);
    EXPECT_EQ(session.score, 500u);
    std::vector<BaseObject*> smalls = ObjectsOfKind(ObjectKind::SmallAsteroid);
    ASSERT_EQ(smalls.size(), 5u);
    std::srand(77);  // each child in turn draws its spin, then its velocity at the level's speed
    for (int i = 0; i < 5; ++i) {  // the first made is the deepest
        auto* child = static_cast<SmallAsteroidObject*>(smalls[4 - i]);
        float spin = RandomAsteroidSpin();
        Vec3 v = RandomAsteroidVelocity(8);
        EXPECT_EQ(std::tie(child->spin, child->velocity.x, child->velocity.y, child->position.x,
                           child->position.y, child->variant),
                  std::make_tuple(spin, v.x, v.y, 4.0f, -3.0f, (firstVariant + i) % 3))
            << i;
    }

    ShipObject ship;
    Add(new LargeAsteroidObject(Vec3{}, At(0.0f, 0.0f), 0.0f))->OnCollide(&ship);
    static_cast<AsteroidObject*>(smalls[0])->OnCollide(&ship);
    EXPECT_EQ(ObjectsOfKind(ObjectKind::MediumAsteroid).size(), 4u);
    EXPECT_EQ(ObjectsOfKind(ObjectKind::SmallAsteroid).size(), 5u)
        << "a small one breaks into nothing";
    EXPECT_EQ(session.score, 500u + 250u + 750u) << "the ship's strikes score too";
    EXPECT_EQ(AsteroidsShot, 1) << "but are not counted as shots";
}

TEST_F(AsteroidTest, TheHugeAsteroidShedsEveryNinthHitWhereTheShotStruckAndBreaksOnThe45th) {
    CurrentLevel = 15;
    auto* huge = Add(new HugeAsteroidObject(Vec3{-1.15f, -0.85f, 0.0f}, At(0.0f, 0.0f), 270.0f));
    ShipObject ship;
    huge->OnCollide(&ship);
    EXPECT_EQ(huge->hitCount, 0u) << "the ship bounces off and never counts";
    for (int hit = 1; hit <= 45; ++hit) {
        size_t before = ObjectsOfKind(ObjectKind::LargeAsteroid).size();
        huge->OnCollide(Add(BulletAt(static_cast<float>(hit % 10), -2.0f)));
        std::vector<BaseObject*> larges = ObjectsOfKind(ObjectKind::LargeAsteroid);
        ASSERT_EQ(larges.size() - before, hit % 9 == 0 ? 4u : 0u) << hit;
        if (hit % 9 == 0) {
            EXPECT_EQ(larges[0]->GetPosition().x, static_cast<float>(hit % 10)) << hit;
            EXPECT_EQ(larges[3]->GetPosition().y, -2.0f) << hit;
        }
        EXPECT_EQ(huge->GetState(), hit < 45 ? ObjectState::Active : ObjectState::Hit) << hit;
    }
    EXPECT_EQ(AsteroidsShot, 1);
    EXPECT_EQ(session.score, 0u);
}

using PickupTest = PlayFieldTest;

TEST_F(PickupTest, APickupWhoseAgeEqualsItsLifetimeIsStillActive) {
    auto* pickup = Add(new SpreadObject(Vec2{3.0f, -2.0f}, 10.0f));
    pickup->Update(10.0f);
    EXPECT_EQ(pickup->GetState(), ObjectState::Active);
    pickup->Update(0.001f);
    EXPECT_EQ(pickup->GetState(), ObjectState::Dead);
}

TEST_F(PickupTest, OnlyTheShipCollectsAndAShieldedShipSweepsUpAsteroidsUnharmed) {
    auto* invuln = Add(new InvulnObject(Vec2{}, 10.0f));
    Add(new MediumAsteroidObject(Vec3{}, Vec3{0.0f, 0.0f, PlayFieldZ}, 0.0f));
    Add(new BaseBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{0.0f, 0.0f}, 0.0f, 1.0f));
    RunFrame(0.0f);
    EXPECT_EQ(invuln->GetState(), ObjectState::Active);
    EXPECT_EQ(session.score, 500u) << "the bullet broke the asteroid only";

    auto* ship = Add(new ShipObject);
    ship->invulnerableTime = 20.0f;
    RunFrame(0.0f);
    EXPECT_EQ(invuln->GetState(), ObjectState::Hit);
    EXPECT_EQ(session.score, 500u + 5000u + 5 * 750u) << "and the ship swept up the pieces";
    EXPECT_EQ(ship->GetState(), ObjectState::Active);
    EXPECT_EQ(ship->invulnerableTime, 10000.0f);

    Add(new LongRangeObject(Vec2{}, 10.0f));
    Add(new SpreadObject(Vec2{}, 10.0f));
    Add(new StarburstObject(Vec2{}, 10.0f));
    RunFrame(0.0f);
    EXPECT_EQ(session.score, 500u + 5000u + 5 * 750u + 3 * 2500u) << "2500 for each weapon";
    ship->vulnerable = true;  // once the shield has run out, another pickup brings it back
    InvulnObject another(Vec2{}, 10.0f);
    ship->OnCollide(&another);
    EXPECT_FALSE(ship->vulnerable);
}

TEST(ShipMotion, TheSpeedLimitAndHeadingWrapStayFiniteAfterAVeryLongFrame) {
    Vec2 wide = LimitShipSpeed(Vec2{70.0f, 20.0f}, Vec2{-1.0f, 0.0f}, 60.0f);
    EXPECT_EQ(wide.y, 20.0f);
    EXPECT_FLOAT_EQ(wide.x, -std::sqrt(3200.0f)) << "the sign of the previous x";
    Vec2 clamped = LimitShipSpeed(Vec2{192.8f, 229.8f}, Vec2{}, 60.0f);
    EXPECT_EQ(clamped.x, 60.0f) << "kept, but clamped to 60 before the root";
    EXPECT_EQ(clamped.y, 0.0f);

    EXPECT_EQ(WrapHeading(1234.5f), 154.5f);
    EXPECT_EQ(WrapHeading(-725.25f), -5.25f);
    EXPECT_FALSE(std::signbit(WrapHeading(-360.0f))) << "+0, as repeated addition gives";
    EXPECT_LT(std::fabs(WrapHeading(3.4e38f)), 360.0f) << "where subtraction would loop for ever";
}

using ShipTest = PlayFieldTest;

TEST_F(ShipTest, StartsAsideOfTheHugeAsteroidNearTheMiddleAndResetsToTheCentre) {
    auto* huge = Add(new HugeAsteroidObject(Vec3{}, Vec3{10.0f, 0.0f, PlayFieldZ}, 0.0f));
    auto* ship = Add(new ShipObject);
    EXPECT_EQ(ship->position.x, 30.0f);
    huge->position.x = 19.0f;
    EXPECT_EQ(Add(new ShipObject)->position.x, 0.0f);
    ship->vulnerable = true;
    ship->ResetShip();
    EXPECT_EQ(ship->position.x, 0.0f);
    EXPECT_FALSE(ship->vulnerable);
}

TEST_F(ShipTest, ThrustAcceleratesWithoutDragAndTurningAtTheLimitKeepsTheSpeedAtSixty) {
    auto* ship = Add(new ShipObject);
    ship->thrusting = true;
    ship->Update(0.5f);
    EXPECT_EQ(ship->velocity.y, 15.0f) << "30 units per second per second along the heading";
    EXPECT_EQ(ship->position.y, 3.75f) << "moved at the mean of the old and new velocity";
    ship->thrusting = false;
    ship->Update(1.0f);
    EXPECT_EQ(ship->velocity.y, 15.0f) << "coasting loses nothing";
    EXPECT_EQ(ship->position.y, 18.75f);

    ship->heading = -90.0f;
    ship->velocity = Vec3{60.0f, 0.0f, 0.0f};
    ship->thrusting = true;
    for (int frame = 0; frame < 330; ++frame) {
        ship->turnCounterClockwise = frame < 30;  // a quarter turn, then straight on
        ship->Update(1.0f / 60.0f);
        EXPECT_NEAR(std::hypot(ship->velocity.x, ship->velocity.y), 60.0f, 1e-3f) << frame;
    }
    EXPECT_GT(ship->velocity.y, 40.0f) << "the motion has swung towards +y";
}

TEST_F(ShipTest, TheStickTurnsOutsideItsDeadZoneAndThenOverridesTheKeys) {
    auto* ship = Add(new ShipObject);
    ship->analogTurn = 3.9f;
    ship->turnClockwise = true;
    ship->Update(0.5f);
    EXPECT_FLOAT_EQ(ship->heading, -90.0f) << "the stick is ignored, the key turns";
    ship->analogTurn = -5.0f;
    ship->Update(0.5f);
    EXPECT_FLOAT_EQ(ship->heading, -92.5f) << "5 degrees per second clockwise, keys ignored";
}

TEST_F(ShipTest, EachWeaponFiresAtItsOwnIntervalFromTheNose) {
    auto* ship = Add(new ShipObject);
    EXPECT_FALSE(ship->Fire()) << "no time has passed since creation";

    // Each pickup sets the interval (a shot half a millisecond early is refused), the number of
    // bullets and their lifetime. All leave the nose of a ship turned to face -x.
    ship->heading = 90.0f;
    ship->facing = Vec3{-1.0f, 0.0f, 0.0f};
    LongRangeObject longRange(Vec2{}, 10.0f);
    StarburstObject starburst(Vec2{}, 10.0f);
    SpreadObject spread(Vec2{}, 10.0f);
    struct Case {
        BaseObject* pickup;
        float interval;
        size_t bullets;
        float lifetime;
    };
    for (const Case& one : {Case{&longRange, 230.0f, 1, 0.6f}, Case{&starburst, 300.0f, 1, 0.4f},
                            Case{&spread, 300.0f, 3, 0.4f}}) {
        ship->OnCollide(one.pickup);
        ship->sinceShot = one.interval - 0.5f;
        EXPECT_FALSE(ship->Fire()) << one.interval;
        size_t before = ObjectsOfKind(ObjectKind::Projectile).size();
        ship->sinceShot = one.interval;
        ASSERT_TRUE(ship->Fire()) << one.interval;
        std::vector<BaseObject*> fired = ObjectsOfKind(ObjectKind::Projectile);
        ASSERT_EQ(fired.size() - before, one.bullets) << one.interval;
        EXPECT_EQ(static_cast<ProjectileObject*>(fired[0])->lifetime, one.lifetime);
        EXPECT_EQ(dynamic_cast<StarBullet*>(fired[0]) != nullptr, one.pickup == &starburst);
    }
    std::vector<BaseObject*> fired = ObjectsOfKind(ObjectKind::Projectile);
    const float angles[3] = {102.0f, 78.0f, 90.0f};  // made centre, -12, +12: the head is +12
    for (int i = 0; i < 3; ++i) {
        auto* bullet = static_cast<ProjectileObject*>(fired[i]);
        EXPECT_EQ(bullet->angle, angles[i]);
        EXPECT_FLOAT_EQ(bullet->position.x, -1.75f) << "all from the same nose";
        EXPECT_FLOAT_EQ(bullet->direction.x, i == 2 ? -1.0f : FacingOf(angles[i]).x);
    }
}

// Through the collision pass, which reports the ship and the huge asteroid to each other.
TEST_F(ShipTest, AnInvulnerableShipBouncesOffTheHugeAsteroidOnAlternateFrames) {
    Add(new HugeAsteroidObject(Vec3{-1.0f, -0.5f, 0.0f}, Vec3{20.0f, 0.0f, PlayFieldZ}, 0.0f));
    auto* ship = Add(new ShipObject);
    ship->position = Vec3{10.0f, 0.0f, PlayFieldZ};
    ship->velocity = Vec3{8.0f, 0.0f, 0.0f};
    // Reversed with the asteroid's drift added, kept, reversed again, kept.
    const float expected[4] = {-9.0f, -9.0f, 8.0f, 8.0f};
    for (float velocityX : expected) {
        RunFrame(0.1f);
        EXPECT_FLOAT_EQ(ship->position.x, 10.0f) << "every move into the asteroid is undone";
        EXPECT_FLOAT_EQ(ship->velocity.x, velocityX);
    }
    EXPECT_FLOAT_EQ(ship->velocity.y, 0.0f) << "-0.5 from the first reversal, +0.5 the second";
    EXPECT_EQ(ship->GetState(), ObjectState::Active);
}

TEST_F(ShipTest, AVulnerableShipDiesOnContactLeavingOneWreckThatFliesThreeQuartersOfASecond) {
    auto* ship = Add(new ShipObject);
    for (int frame = 0; frame < 319; ++frame) {  // frames of 15.625 ms, exact in binary
        ship->Update(1.0f / 64.0f);
    }
    EXPECT_FALSE(ship->vulnerable) << "4984.375 ms after it appeared";
    ship->Update(1.0f / 64.0f);
    EXPECT_TRUE(ship->vulnerable) << "5000 ms";
    ship->thrusting = true;
    ship->flame->emitting = true;
    Add(new MediumAsteroidObject(Vec3{}, Vec3{1.0f, 1.0f, PlayFieldZ}, 0.0f));
    RunFrame(0.0f);
    EXPECT_EQ(ship->GetState(), ObjectState::Hit);
    EXPECT_FALSE(ship->flame->emitting) << "the engine is released with the ship";
    ASSERT_EQ(ObjectsOfKind(ObjectKind::Explosion).size(), 1u);
    BaseObject* wreck = ObjectsOfKind(ObjectKind::Explosion)[0];
    wreck->Update(0.5f);
    EXPECT_EQ(wreck->GetState(), ObjectState::Active);
    RunFrame(0.25f);
    EXPECT_TRUE(ObjectsOfKind(ObjectKind::Ship).empty());
    EXPECT_TRUE(ObjectsOfKind(ObjectKind::Explosion).empty());
}

using ProjectileTest = PlayFieldTest;

TEST_F(ProjectileTest, ABulletFliesItsLifetimeWrapsBeyondItsMarginAndDiesAtItsLifetime) {
    auto* still = Add(new BaseBullet(Vec2{1.0f, 0.0f}, Vec2{}, Vec2{-20.0f, 0.0f}, -90.0f, 0.4f));
    auto* fast =
        Add(new BaseBullet(Vec2{1.0f, 0.0f}, Vec2{60.0f, 0.0f}, Vec2{-30.0f, 1.0f}, -90.0f, 0.4f));
    still->Update(0.2f);
    EXPECT_EQ(still->GetState(), ObjectState::Active);
    still->Update(0.2f);
    EXPECT_FLOAT_EQ(still->position.x, 8.0f) << "28 units in 0.4 s";
    EXPECT_EQ(still->GetState(), ObjectState::Active) << "in play for its last piece's pass";
    still->Update(0.2f);
    EXPECT_EQ(still->GetState(), ObjectState::Dead) << "its age reached its lifetime";
    EXPECT_FLOAT_EQ(still->position.x, 8.0f);
    fast->Update(0.5f);
    EXPECT_FLOAT_EQ(fast->position.x, 22.0f) << "130 x 0.4 = 52 units, and no further";

    auto* edge =
        Add(new BaseBullet(Vec2{1.0f, 0.0f}, Vec2{-69.0f, 0.0f}, Vec2{36.1f, 0.0f}, 0.0f, 1.0f));
    edge->Update(0.1f);
    EXPECT_EQ(edge->position.x, -36.1f) << "past the margin of 35.5 + 0.6, body and all";
    EXPECT_EQ(edge->body.centreX, -36.1f);
    EXPECT_EQ(edge->body.startX, -36.1f) << "a wrapped move is followed from where it ended";
}

TEST_F(ProjectileTest, AStarburstShotBurstsWhereItStruckAFrameLaterAndItsStarPointTwoSecondsAfter) {
    time.SetCalendar(1700000123);
    std::srand(1700000123);
    int base = std::rand() % 360;
    int afterOneDraw = std::rand();  // where the generator stands after a spawner's update

    Add(new LargeAsteroidObject(Vec3{}, Vec3{3.0f, 4.0f, PlayFieldZ}, 0.0f));
    Add(new StarBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{3.0f, 3.0f}, 0.0f, 0.4f));
    RunFrame(0.01f);  // moves to 3.7 and strikes
    RunFrame(0.1f);
    std::vector<BaseObject*> projectiles = ObjectsOfKind(ObjectKind::Projectile);
    ASSERT_EQ(projectiles.size(), 1u);
    auto* spawner = dynamic_cast<StarSpawner*>(projectiles[0]);
    ASSERT_NE(spawner, nullptr);
    EXPECT_FLOAT_EQ(spawner->position.y, 3.7f) << "the struck shot did not move again";
    EXPECT_EQ(spawner->elapsed, 0.0f) << "made during the update pass, not updated in it";

    std::srand(99);
    RunFrame(0.1f);
    EXPECT_EQ(std::rand(), afterOneDraw) << "every update reseeds, even before the delay";
    RunFrame(0.1f);
    std::vector<BaseObject*> fragments = ObjectsOfKind(ObjectKind::Projectile);
    ASSERT_EQ(fragments.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        auto* flak = dynamic_cast<StarFlak*>(fragments[7 - i]);
        ASSERT_NE(flak, nullptr);
        float angle = static_cast<float>(base + 45 * i);
        EXPECT_EQ(flak->angle, angle >= 360.0f ? angle - 360.0f : angle) << i;
        EXPECT_FLOAT_EQ(flak->velocity.x, 71.0f * FacingOf(flak->angle).x);
        EXPECT_FLOAT_EQ(flak->position.y, 3.7f);
        EXPECT_EQ(flak->lifetime, 0.1f);
    }
}

TEST_F(ProjectileTest, FreshFragmentsStrikeAsteroidsAtTheBurstPointInTheSameFrame) {
    Add(new LargeAsteroidObject(Vec3{}, Vec3{20.0f, 0.0f, PlayFieldZ}, 0.0f));
    Add(new StarSpawner(Vec2{20.0f, 0.0f}, 0.0f));
    Add(new StarSpawner(Vec2{0.0f, 0.0f}, 0.0f));
    RunFrame(0.01f);
    int spent = 0;
    for (BaseObject* fragment : ObjectsOfKind(ObjectKind::Projectile)) {
        spent += fragment->GetState() == ObjectState::Hit ? 1 : 0;
    }
    EXPECT_EQ(spent, 8) << "each fragment at the rock ends on it or on a piece of it";
    EXPECT_EQ(AsteroidsShot, 8);
}

// The same game at any frame rate: from 20 frames a second (software drawing on a large screen)
// to 240 (a gaming monitor), shots hit what they pass through, reach as far, fire as often, and
// the ship flies as far and collects what it flies into.
namespace {

constexpr float FrameRates[] = {20.0f, 25.0f, 30.0f, 60.0f, 144.0f, 240.0f};
constexpr float ShotReach = ProjectileObject::Radius + SmallAsteroidObject::Radius;
constexpr float ShipReachOfPickup = ShipObject::Radius + PickupObject::Radius;

class FrameRateTest : public PlayFieldTest {
protected:
    // Runs frames of 1 / fps seconds for `seconds`, or until one object is left.
    void RunFor(float fps, float seconds) {
        const float dt = 1.0f / fps;
        for (float t = 0.0f; t < seconds && ObjectList->Count() > 1; t += dt) {
            RunFrame(dt);
        }
    }

    // A shot along +x from a ship flying along +x at `shipSpeed` starts `before` units short
    // of x = 15 and crosses it `side` units above y = 0, just as a small asteroid flying along +y
    // at `rockSpeed` reaches (15, 0). True when it struck the asteroid.
    bool ShotHits(float fps, float side, float before, float shipSpeed, float rockSpeed = 0.0f) {
        ObjectList->ClearWorldList();
        AsteroidsShot = 0;
        float meeting = before / (ProjectileObject::MuzzleSpeed + shipSpeed);
        Add(new SmallAsteroidObject(Vec3{0.0f, rockSpeed, 0.0f},
                                    Vec3{15.0f, -rockSpeed * meeting, PlayFieldZ}, 0.0f));
        Add(new BaseBullet(Vec2{1.0f, 0.0f}, Vec2{shipSpeed, 0.0f}, Vec2{15.0f - before, side},
                           -90.0f, 0.4f));
        RunFor(fps, 1.0f);
        return AsteroidsShot == 1;
    }

    std::mt19937 random{24};
};

}  // namespace

// Contacts are judged over the whole frame: at 20 fps half the shots used to pass through a
// small asteroid they plainly touched, three quarters of them from a ship at full speed.
TEST_F(FrameRateTest, ShotsHitWhatTheyPassThroughAndNeverWhatTheyPassBeside) {
    std::uniform_real_distribution<float> within(-0.95f * ShotReach, 0.95f * ShotReach);
    std::uniform_real_distribution<float> start(5.0f, 15.0f);  // every phase of the frames
    for (float fps : FrameRates) {
        // A resting asteroid from a resting ship and from one at top speed, and a moving one
        // whose path the shot crosses.
        for (auto [shipSpeed, rockSpeed] : {std::pair{0.0f, 0.0f}, {60.0f, 0.0f}, {0.0f, 25.0f}}) {
            int hits = 0;
            int closeMisses = 0;
            for (int shot = 0; shot < 100; ++shot) {
                hits += ShotHits(fps, within(random), start(random), shipSpeed, rockSpeed);
                float outside = (shot % 2 == 0 ? 1.0f : -1.0f) * ShotReach * 1.01f;
                closeMisses +=
                    rockSpeed > 0.0f || !ShotHits(fps, outside, start(random), shipSpeed);
            }
            SCOPED_TRACE(::testing::Message()
                         << fps << " fps, ship " << shipSpeed << ", rock " << rockSpeed);
            EXPECT_EQ(hits, 100);
            EXPECT_EQ(closeMisses, 100);
        }
    }
}

// A shot's flight ends where its lifetime does, and is tested up to there: 28 units for the
// normal shot at any frame rate, where the last frame used to be left untested.
TEST_F(FrameRateTest, AShotReachesAsFarAtAnyFrameRate) {
    const float reach = ProjectileObject::MuzzleSpeed * 0.4f + ShotReach;
    for (float fps : FrameRates) {
        EXPECT_TRUE(ShotHits(fps, 0.0f, reach - 0.01f, 0.0f)) << fps << " fps";
        EXPECT_FALSE(ShotHits(fps, 0.0f, reach + 0.01f, 0.0f)) << fps << " fps";
    }
}

TEST_F(FrameRateTest, TheShipCollectsAPickupItFliesThroughAndThrustCarriesItAsFar) {
    std::uniform_real_distribution<float> within(-0.95f * ShipReachOfPickup,
                                                 0.95f * ShipReachOfPickup);
    std::uniform_real_distribution<float> start(5.0f, 15.0f);
    for (float fps : FrameRates) {
        int collected = 0;
        for (int pass = 0; pass < 50; ++pass) {
            for (bool beside : {false, true}) {
                ObjectList->ClearWorldList();
                auto* ship = Add(new ShipObject);
                ship->position = Vec3{0.0f, -start(random), PlayFieldZ};
                ship->velocity = Vec3{0.0f, 60.0f, 0.0f};  // top speed
                float side = beside ? ShipReachOfPickup * 1.01f : within(random);
                Add(new LongRangeObject(Vec2{side, 0.0f}, 10.0f));
                RunFor(fps, 0.5f);
                bool took = ship->weapon == Weapon::LongRange;
                EXPECT_EQ(took, !beside) << fps << " fps, " << side << " beside";
                collected += took ? 1 : 0;
            }
        }
        EXPECT_EQ(collected, 50) << fps << " fps";

        // A second of thrust from a standstill: 15 units, as 30 t^2 / 2 gives.
        ObjectList->ClearWorldList();
        auto* ship = Add(new ShipObject);
        ship->thrusting = true;
        for (int frame = 0; frame < static_cast<int>(fps); ++frame) {
            ship->Update(1.0f / fps);
        }
        EXPECT_NEAR(ship->position.y, 15.0f, 0.01f) << fps << " fps";
    }
}

// Each shot that came late by part of a frame makes the next one due that much earlier: held
// fire keeps to the weapon's interval at any frame rate, where it used to lose the part of a
// frame at every shot (37 shots in 10 s at 30 fps instead of 40).
TEST_F(FrameRateTest, HeldFireKeepsToTheIntervalAndNeitherAPauseNorAHitchBringsABurst) {
    LongRangeObject longRange(Vec2{}, 1.0f);
    SpreadObject spread(Vec2{}, 1.0f);
    const std::pair<BaseObject*, float> weapons[] = {
        {nullptr, 250.0f}, {&longRange, 230.0f}, {&spread, 300.0f}};
    // Holds fire from a pause for `seconds` in frames of 1 / fps, one frame of `hitch` seconds
    // after `hitchAfter` frames; the times of the shots in ms, as the level loop fires them
    // after each frame's update.
    auto holdFire = [this](BaseObject* pickup, float fps, float seconds, int hitchAfter,
                           float hitch) {
        ObjectList->ClearWorldList();
        auto* ship = Add(new ShipObject);
        if (pickup != nullptr) {
            ship->OnCollide(pickup);
        }
        ship->sinceShot = 5000.0f;
        std::vector<double> shots;
        double now = 0.0;
        for (int frame = 0; now < seconds * 1000.0; ++frame) {
            if (ship->Fire()) {
                shots.push_back(now);
            }
            float dt = frame == hitchAfter ? hitch : 1.0f / fps;
            ship->Update(dt);
            now += dt * 1000.0;
        }
        return shots;
    };
    for (float fps : {20.0f, 30.0f, 60.0f, 240.0f}) {
        for (const auto& [pickup, interval] : weapons) {
            std::vector<double> shots = holdFire(pickup, fps, 10.0f, -1, 0.0f);
            SCOPED_TRACE(::testing::Message() << fps << " fps, " << interval << " ms");
            EXPECT_NEAR(shots.size(), 10000.0f / interval, 1.0f);
            ASSERT_FALSE(shots.empty());
            EXPECT_EQ(shots[0], 0.0) << "fire pressed after a pause fires at once";
            for (size_t i = 1; i < shots.size(); ++i) {
                EXPECT_NEAR(shots[i] - shots[i - 1], interval, 1000.0 / fps) << i;
            }
            EXPECT_GE(shots[1] - shots[0], interval - 0.01) << "a pause is not carried";
        }
    }
    // Half a second without a frame: one shot when it ends, then no burst to catch up.
    std::vector<double> shots = holdFire(nullptr, 60.0f, 4.0f, 120, 0.5f);
    size_t afterHitch = 0;
    while (shots[afterHitch] < 2500.0) {
        ++afterHitch;
    }
    EXPECT_GE(shots[afterHitch + 1] - shots[afterHitch], 125.0);
    EXPECT_LE(shots.size() - afterHitch, 1500.0 / 250.0 + 1.0) << "in the 1.5 s after it";
}
