#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/CollisionPass.h"
#include "tests/support/PlayField.h"
#include "world/AwardPoints.h"
#include "world/BaseBullet.h"
#include "world/ExplosionObject.h"
#include "world/LargeAsteroidObject.h"
#include "world/MediumAsteroidObject.h"
#include "world/StarSpawner.h"

namespace {

// A play-field object that only records who touched it and, once, adds a new probe at its own
// place when first touched.
struct Contact {
    std::string self;
    std::string other;
};

std::vector<Contact> Contacts;

class Probe : public BaseObject {
public:
    Probe(std::string name, ObjectKind kind, uint16_t mask, bool spawnsOnContact = false)
        : BaseObject(kind, mask, Vec3{0.0f, 0.0f, PlayFieldZ}),
          name(std::move(name)),
          spawnsOnContact(spawnsOnContact) {
        body = CircleBody(1.0f, position, 0.0f);
    }

    void OnCollide(BaseObject* other) override {
        Contacts.push_back(Contact{name, static_cast<Probe*>(other)->name});
        if (spawnsOnContact) {
            spawnsOnContact = false;
            ObjectList->AddObject(
                new Probe(name + "-child", ObjectKind::SmallAsteroid, HitsProjectiles));
        }
    }

    std::string name;
    bool spawnsOnContact;
};

std::vector<std::string> ContactLog() {
    std::vector<std::string> log;
    for (const Contact& contact : Contacts) {
        log.push_back(contact.self + "<-" + contact.other);
    }
    return log;
}

}  // namespace

TEST(PlayFieldWrap, AnObjectExactlyOnTheMarginStaysAndOneBeyondComesBackHidden) {
    const float margin = 0.6f;
    const float right = 35.5f + margin;
    const float top = 26.5f + margin;
    EXPECT_EQ(WrapToPlayField(Vec2{right, 0.0f}, margin).x, right);
    EXPECT_EQ(WrapToPlayField(Vec2{std::nextafter(right, 99.0f), 0.0f}, margin).x, -right);
    EXPECT_EQ(WrapToPlayField(Vec2{-right, 0.0f}, margin).x, -right);
    EXPECT_EQ(WrapToPlayField(Vec2{std::nextafter(-right, -99.0f), 0.0f}, margin).x, right);
    EXPECT_EQ(WrapToPlayField(Vec2{0.0f, top}, margin).y, top);
    EXPECT_EQ(WrapToPlayField(Vec2{0.0f, std::nextafter(top, 99.0f)}, margin).y, -top);
    EXPECT_EQ(WrapToPlayField(Vec2{0.0f, -40.0f}, margin).y, top);

    Vec2 corner = WrapToPlayField(Vec2{52.0f, -43.0f}, 16.0f);
    EXPECT_EQ(corner.x, -51.5f);
    EXPECT_EQ(corner.y, 42.5f);
}

TEST(PlayFieldWrap, RotationLosesOneWholeTurnOnly) {
    EXPECT_EQ(WrapRotation(360.0f), 0.0f);
    EXPECT_EQ(WrapRotation(359.5f), 359.5f);
    EXPECT_EQ(WrapRotation(-360.0f), 0.0f);
    EXPECT_EQ(WrapRotation(-359.0f), -359.0f);
    EXPECT_EQ(WrapRotation(800.0f), 440.0f);
}

TEST(CollisionGroups, MatchTheMaskBitsOfEachKind) {
    EXPECT_EQ(CollisionGroupOf(ObjectKind::Invuln), HitsPickups);
    EXPECT_EQ(CollisionGroupOf(ObjectKind::Starburst), HitsPickups);
    EXPECT_EQ(CollisionGroupOf(ObjectKind::Ship), HitsShip);
    EXPECT_EQ(CollisionGroupOf(ObjectKind::SmallAsteroid), HitsAsteroids);
    EXPECT_EQ(CollisionGroupOf(ObjectKind::HugeAsteroid), HitsAsteroids);
    EXPECT_EQ(CollisionGroupOf(ObjectKind::Projectile), HitsProjectiles);
    EXPECT_EQ(CollisionGroupOf(ObjectKind::Explosion), 0);
    EXPECT_EQ(CollisionGroupOf(static_cast<ObjectKind>(11)), 0);
}

using ObjectListTest = PlayFieldTest;

TEST_F(ObjectListTest, AddsAtTheHeadAndPurgesOnlyTheDeadKeepingTheOrder) {
    BaseObject* tail = Add(new ExplosionObject(Vec2{1.0f, 0.0f}, 1.0f));
    BaseObject* middle = Add(new ExplosionObject(Vec2{2.0f, 0.0f}, 1.0f));
    BaseObject* head = Add(new ExplosionObject(Vec2{3.0f, 0.0f}, 1.0f));
    EXPECT_EQ(ObjectList->Count(), 3);
    EXPECT_EQ(Objects(), (std::vector<BaseObject*>{head, middle, tail}));

    middle->SetState(ObjectState::Dead);
    head->SetState(ObjectState::Hit);
    EXPECT_EQ(ObjectList->PurgeDeadObjects(), 2);
    EXPECT_EQ(Objects(), (std::vector<BaseObject*>{head, tail}));

    EXPECT_EQ(ObjectList->AddObject(new ExplosionObject(Vec2{}, 1.0f)), 3);
    ObjectList->ClearWorldList();
    EXPECT_EQ(ObjectList->Count(), 0);
    EXPECT_EQ(ObjectList->PurgeDeadObjects(), 0);
}

TEST_F(ObjectListTest, AStruckObjectIsNotMovedByItsNextUpdateAndIsGoneAfterThePurge) {
    auto* asteroid =
        Add(new LargeAsteroidObject(Vec3{5.0f, 5.0f, 0.0f}, Vec3{1.0f, 2.0f, PlayFieldZ}, 90.0f));
    asteroid->SetState(ObjectState::Hit);
    asteroid->Update(1.0f);
    EXPECT_EQ(asteroid->GetState(), ObjectState::Dead);
    EXPECT_EQ(asteroid->position.x, 1.0f);
    EXPECT_EQ(asteroid->position.y, 2.0f);
    EXPECT_EQ(asteroid->angle, 0.0f);
    ObjectList->PurgeDeadObjects();
    EXPECT_EQ(ObjectList->Count(), 0);
}

TEST_F(ObjectListTest, AWalkNeverVisitsObjectsAddedWhileItRuns) {
    Add(new ExplosionObject(Vec2{}, 1.0f));
    int visited = 0;
    ObjectList->ForEachObject([&](BaseObject*) {
        ++visited;
        ObjectList->AddObject(new ExplosionObject(Vec2{}, 1.0f));
    });
    EXPECT_EQ(visited, 1);
    EXPECT_EQ(ObjectList->Count(), 2);
}

TEST_F(ObjectListTest, CollisionPassCallsBothSidesMatchingFirstAndNewObjectsOnlyAsSecond) {
    Contacts.clear();
    // From head to tail: a shot, an asteroid that sheds a child when touched, another shot.
    Add(new Probe("late-shot", ObjectKind::Projectile, HitsAsteroids));
    Add(new Probe("rock", ObjectKind::SmallAsteroid, HitsProjectiles, true));
    Add(new Probe("shot", ObjectKind::Projectile, HitsAsteroids));

    RunCollisionPass();

    EXPECT_EQ(ContactLog(), (std::vector<std::string>{
                                // outer: shot; its contact adds rock-child at the head
                                "shot<-rock",
                                "rock<-shot",
                                // outer: rock, whose mask names projectiles
                                "rock<-shot",
                                "shot<-rock",
                                "rock<-late-shot",
                                "late-shot<-rock",
                                // outer: late-shot; its inner walk starts at rock-child
                                "late-shot<-rock-child",
                                "rock-child<-late-shot",
                                "late-shot<-rock",
                                "rock<-late-shot",
                            }));
}

TEST_F(ObjectListTest, ChildrenOfABreakCanBeStruckInTheSamePassByALaterShotOnly) {
    Vec3 still{0.0f, 0.0f, 0.0f};
    Add(new BaseBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{0.5f, 0.0f}, 0.0f, 1.0f));
    Add(new LargeAsteroidObject(still, Vec3{0.0f, 0.0f, PlayFieldZ}, 0.0f));
    Add(new BaseBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{-0.5f, 0.0f}, 0.0f, 1.0f));

    RunCollisionPass();

    EXPECT_EQ(AsteroidsShot, 2);
    EXPECT_EQ(session.score, 250u + 500u);
    std::vector<BaseObject*> mediums = ObjectsOfKind(ObjectKind::MediumAsteroid);
    ASSERT_EQ(mediums.size(), 3u);
    int struck = 0;
    for (BaseObject* medium : mediums) {
        struck += medium->GetState() == ObjectState::Hit ? 1 : 0;
    }
    EXPECT_EQ(struck, 1) << "the shot that broke the parent is spent; the other takes one child";
}

TEST_F(ObjectListTest, SpawnersAndExplosionsNeverTouchAnything) {
    auto* spawner = Add(new StarSpawner(Vec2{}, 0.2f));
    auto* explosion = Add(new ExplosionObject(Vec2{}, 0.75f));
    auto* asteroid = Add(new MediumAsteroidObject(Vec3{}, Vec3{0.0f, 0.0f, PlayFieldZ}, 0.0f));
    EXPECT_FALSE(BodiesTouch(spawner, asteroid));
    EXPECT_FALSE(BodiesTouch(asteroid, spawner));
    EXPECT_FALSE(BodiesTouch(asteroid, explosion));
    RunCollisionPass();
    EXPECT_EQ(asteroid->GetState(), ObjectState::Active);
}

TEST_F(ObjectListTest, BodiesThatJustTouchCountAndOffsetsTurnWithTheBody) {
    auto* left = Add(new MediumAsteroidObject(Vec3{}, Vec3{0.0f, 0.0f, PlayFieldZ}, 0.0f));
    auto* right = Add(new MediumAsteroidObject(Vec3{}, Vec3{1.5f, 0.0f, PlayFieldZ}, 0.0f));
    right->body.circles[0].radius = 0.55f;  // 0.95 + 0.55 = 1.5: exactly touching
    EXPECT_TRUE(BodiesTouch(left, right));
    right->body.centreX = 1.5001f;
    EXPECT_FALSE(BodiesTouch(left, right));

    // An offset of one unit along +x, turned by 90 degrees, lands one unit below the centre.
    left->body.circles[0].offsetX = 1.0f;
    left->body.angle = 90.0f;
    right->body.centreX = 0.0f;
    right->body.centreY = -1.0f - 1.5f;
    EXPECT_TRUE(BodiesTouch(left, right));
    right->body.centreY = -1.0f + 1.5f + 0.01f;
    EXPECT_FALSE(BodiesTouch(left, right));

    left->SetState(ObjectState::Hit);
    right->SetState(ObjectState::Dead);
    right->body.centreY = -1.0f;
    EXPECT_FALSE(BodiesTouch(left, right)) << "neither is active";
}

TEST_F(ObjectListTest, AwardPointsGrantsOneLifePerThresholdReached) {
    AwardPoints(250);
    EXPECT_EQ(session.score, 250u);
    EXPECT_EQ(session.lives, 4) << "the first points of a game grant a life";
    EXPECT_EQ(session.extraLives, 1u);
    EXPECT_EQ(LevelScore, 250u);

    session.score = 499999;
    AwardPoints(1);
    EXPECT_EQ(session.lives, 5);
    EXPECT_EQ(session.extraLives, 2u);

    AwardPoints(1200000);  // crosses two more thresholds but grants one life
    EXPECT_EQ(session.lives, 6);
    EXPECT_EQ(session.extraLives, 3u);
    AwardPoints(0);
    EXPECT_EQ(session.lives, 7) << "the next award catches up one more";
    EXPECT_EQ(LevelScore, 250u + 1u + 1200000u);

    session.extraLives = 8590;  // 8590 x 500000 does not fit in 32 bits
    session.score = 4294000000u;
    int lives = session.lives;
    AwardPoints(1);
    EXPECT_EQ(session.lives, lives) << "a wrapped threshold must not grant a life";
}
