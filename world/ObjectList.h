#pragma once
#include <cstdint>
#include <vector>

#include "world/BaseObject.h"

struct Clock;

// The play-field objects of one game, owned: an object is destroyed when it leaves the list.
// Objects only ever join at the head. A walk runs from the head to the tail as the list stood when
// the walk began, so it never visits an object added while it runs; a walk that starts again
// (the inner walk of the collision pass) sees everything added before it started.
//
// Walk positions make that rule plain: the tail is position 0, the head is HeadPosition(), and an
// added object takes the next position above the head, so the positions of a walk in progress
// never move. Positions change only when dead objects are purged.
class ObjectListRecord {
public:
    ObjectListRecord() = default;
    ~ObjectListRecord();
    ObjectListRecord(const ObjectListRecord&) = delete;
    ObjectListRecord& operator=(const ObjectListRecord&) = delete;

    // Makes the object the new head and takes ownership; returns the new count.
    int32_t AddObject(BaseObject* object);
    // Destroys every Dead object, keeping the others in their order; returns the count left.
    int32_t PurgeDeadObjects();
    // Destroys every object, head first, leaving the list empty.
    void ClearWorldList();

    int32_t Count() const { return static_cast<int32_t>(entries.size()); }
    int32_t HeadPosition() const { return Count() - 1; }
    BaseObject* ObjectAt(int32_t position) const { return entries[position].object; }

    // The collision group of the object at the position (kinds never change), kept beside it so
    // that the collision pass can pick the objects a mask names without reaching into each.
    uint16_t GroupAt(int32_t position) const { return entries[position].group; }

    // Calls visit(object) from the head to the tail of the list as it stands now.
    template <typename Visit>
    void ForEachObject(Visit visit) const {
        for (int32_t position = HeadPosition(); position >= 0; --position) {
            visit(entries[position].object);
        }
    }

    Clock* clock = nullptr;     // the global clock; the level loop times frames with it
    float frameDelta = 0.0f;    // seconds between the last two frames: the argument of Update
    float previousTime = 0.0f;  // clock reading of the previous frame, seconds
    float currentTime = 0.0f;   // clock reading of this frame, seconds

private:
    struct Entry {
        BaseObject* object;
        uint16_t group;  // CollisionGroupOf the object's kind
    };
    std::vector<Entry> entries;  // tail first, so the head is the last element
};

// The list of the game in play; null outside a game.
extern ObjectListRecord* ObjectList;
