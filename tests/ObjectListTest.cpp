#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "game/CollisionPass.h"
#include "tests/support/PlayField.h"
#include "world/AwardPoints.h"
#include "world/ExplosionObject.h"
#include "world/HugeAsteroidObject.h"
#include "world/InvulnObject.h"
#include "world/LargeAsteroidObject.h"
#include "world/LongRangeObject.h"
#include "world/MediumAsteroidObject.h"
#include "world/ShipObject.h"
#include "world/SmallAsteroidObject.h"
#include "world/SpreadObject.h"
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
