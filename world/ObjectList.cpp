#include "world/ObjectList.h"

#include <cstddef>

ObjectListRecord* ObjectList = nullptr;

ObjectListRecord::~ObjectListRecord() {
    ClearWorldList();
}

int32_t ObjectListRecord::AddObject(BaseObject* object) {
    if (object != nullptr) {
        entries.push_back(Entry{object, CollisionGroupOf(object->GetKind())});
    }
    return Count();
}

int32_t ObjectListRecord::PurgeDeadObjects() {
    std::size_t kept = 0;
    for (const Entry& entry : entries) {
        if (entry.object->GetState() == ObjectState::Dead) {
            delete entry.object;
        } else {
            entries[kept++] = entry;
        }
    }
    entries.resize(kept);
    return Count();
}

void ObjectListRecord::ClearWorldList() {
    while (!entries.empty()) {
        delete entries.back().object;
        entries.pop_back();
    }
}
