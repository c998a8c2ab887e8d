#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/GameRecord.h"
#include "tests/support/DrivenTime.h"
#include "world/ObjectList.h"

// A fresh game around each play-field test: a new session (score 0, 3 lives), an empty object
// list, level 1's table row, zeroed level counters, driven time and a fixed random seed.
class PlayFieldTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Takes ownership of the object through the object list and hands it back typed.
    template <typename T>
    T* Add(T* object) {
        ObjectList->AddObject(object);
        return object;
    }

    // The objects of the list from head to tail.
    std::vector<BaseObject*> Objects() const;
    // The objects of one kind from head to tail.
    std::vector<BaseObject*> ObjectsOfKind(ObjectKind kind) const;

    // One frame as the level loop runs it after drawing: update every object, run the collision
    // pass, purge the dead.
    void RunFrame(float dt);

    std::unique_ptr<DrivenTime> time;
    GameSessionRecord session;

private:
    GameSessionRecord* previousSession = nullptr;
};
