#include "tests/support/PlayField.h"

#include <cstdlib>

#include "game/CollisionPass.h"

void PlayFieldTest::SetUp() {
    SetUpLevelTable();
    previousSession = GameSession;
    GameSession = &session;
    CurrentLevel = 1;
    LevelScore = 0;
    AsteroidsShot = 0;
    ObjectList = new ObjectListRecord;
    std::srand(1234);
}

void PlayFieldTest::TearDown() {
    delete ObjectList;
    ObjectList = nullptr;
    GameSession = previousSession;
}

std::vector<BaseObject*> ObjectsOfKind(ObjectKind kind) {
    std::vector<BaseObject*> objects;
    ObjectList->ForEachObject([&](BaseObject* object) {
        if (object->GetKind() == kind) {
            objects.push_back(object);
        }
    });
    return objects;
}

void PlayFieldTest::RunFrame(float dt) {
    ObjectList->ForEachObject([dt](BaseObject* object) { object->Update(dt); });
    RunCollisionPass();
    ObjectList->PurgeDeadObjects();
}
