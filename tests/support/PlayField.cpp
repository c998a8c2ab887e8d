#include "tests/support/PlayField.h"

#include <cstdlib>

#include "game/CollisionPass.h"

void PlayFieldTest::SetUp() {
    time = std::make_unique<DrivenTime>();
    SetUpLevelTable();
    session = GameSessionRecord{};
    previousSession = GameSession;
    GameSession = &session;
    CurrentLevel = 1;
    LevelScore = 0;
    LevelStartScore = 0;
    AsteroidsShot = 0;
    ObjectList = new ObjectListRecord;
    std::srand(1234);
}

void PlayFieldTest::TearDown() {
    delete ObjectList;
    ObjectList = nullptr;
    GameSession = previousSession;
    time.reset();
}

std::vector<BaseObject*> PlayFieldTest::Objects() const {
    std::vector<BaseObject*> objects;
    ObjectList->ForEachObject([&](BaseObject* object) { objects.push_back(object); });
    return objects;
}

std::vector<BaseObject*> PlayFieldTest::ObjectsOfKind(ObjectKind kind) const {
    std::vector<BaseObject*> objects;
    for (BaseObject* object : Objects()) {
        if (object->GetKind() == kind) {
            objects.push_back(object);
        }
    }
    return objects;
}

void PlayFieldTest::RunFrame(float dt) {
    ObjectList->ForEachObject([dt](BaseObject* object) { object->Update(dt); });
    RunCollisionPass();
    ObjectList->PurgeDeadObjects();
}
