#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "game/GameRecord.h"
#include "tests/support/DrivenTime.h"
#include "world/ObjectList.h"

// An asteroid that nothing can touch: it keeps a level from being completed.
class UntouchableRock : public BaseObject {
public:
    UntouchableRock() : BaseObject(ObjectKind::LargeAsteroid, 0, Vec3{30.0f, 20.0f, PlayFieldZ}) {
        hasBody = false;
    }
};

// The objects of one kind on the object list, from head to tail.
std::vector<BaseObject*> ObjectsOfKind(ObjectKind kind);

// A fresh game around each play-field test: a new session (score 0, 3 lives), an empty object
// list, level 1, zeroed level counters, driven time and a fixed random seed.
class PlayFieldTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Hands the object to the object list and back, typed.
    template <typename T>
    T* Add(T* object) {
        ObjectList->AddObject(object);
        return object;
    }

    // One frame as the level loop runs it after drawing: updates, collision pass, purge.
    void RunFrame(float dt);

    DrivenTime time;
    GameSessionRecord session;

private:
    GameSessionRecord* previousSession = nullptr;
};
