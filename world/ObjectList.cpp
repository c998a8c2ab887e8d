#include "world/ObjectList.h"

ObjectListRecord* ObjectList = nullptr;

ObjectListRecord::~ObjectListRecord() {
    ClearWorldList();
}

int32_t ObjectListRecord::AddObject(BaseObject* object) {
    if (object != nullptr) {
        objects.push_back(object);
    }
    return Count();
}

int32_t ObjectListRecord::PurgeDeadObjects() {
    size_t kept = 0;
    for (BaseObject* object : objects) {
        if (object->GetState() == ObjectState::Dead) {
            delete object;
        } else {
            objects[kept++] = object;
        }
    }
    objects.resize(kept);
    return Count();
}

void ObjectListRecord::ClearWorldList() {
    while (!objects.empty()) {
        delete objects.back();
        objects.pop_back();
    }
}
