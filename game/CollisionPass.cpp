#include "game/CollisionPass.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "world/ObjectList.h"

namespace {

// True when both offsets are zero of either sign; read as bits, which costs the inner walk far
// less than two floating-point comparisons.
inline bool HasNoOffset(const CollisionCircle& circle) {
    uint32_t x;
    uint32_t y;
    std::memcpy(&x, &circle.offsetX, sizeof x);
    std::memcpy(&y, &circle.offsetY, sizeof y);
    return ((x | y) << 1) == 0;
}

// A circle's offset turned by the body's angle: where the circle's centre lies from the body's.
Vec2 TurnedOffset(const CollisionBody& body, const CollisionCircle& circle) {
    float theta = static_cast<float>(body.angle * DegreesToRadians);
    float s = std::sin(theta);
    float c = std::cos(theta);
    return Vec2{-(circle.offsetX * c + circle.offsetY * s),
                circle.offsetY * c - circle.offsetX * s};
}

// A circle's centre in the world at the end of the frame. Only a circle with an offset needs the
// angle's sine and cosine; every circle of this game has none, which spares the pass its
// trigonometry.
inline Vec2 CircleCentre(const CollisionBody& body, const CollisionCircle& circle) {
    if (HasNoOffset(circle)) {
        return Vec2{body.centreX, body.centreY};
    }
    Vec2 offset = TurnedOffset(body, circle);
    return Vec2{body.centreX + offset.x, body.centreY + offset.y};
}

// How far the body moved during the frame; its circles move with it.
inline Vec2 BodyMove(const CollisionBody& body) {
    return Vec2{body.centreX - body.startX, body.centreY - body.startY};
}

// True when two circles that each moved in a straight line during the frame overlap at some
// moment of it (touching counts). The end of the frame is tested first, exactly as two resting
// circles are, so every pair that touches there touches; otherwise the closest approach of their
// relative motion over the frame decides.
inline bool CirclesMeet(Vec2 endA, Vec2 moveA, Vec2 endB, Vec2 moveB, float reach) {
    const float dx = endA.x - endB.x;
    const float dy = endA.y - endB.y;
    const float reachSquared = reach * reach;
    if (reachSquared >= dx * dx + dy * dy) {
        return true;
    }
    // Going back from the end, the relative position is (dx, dy) - s (mx, my) for s from 0 (the
    // end) to 1 (the start).
    const float mx = moveA.x - moveB.x;
    const float my = moveA.y - moveB.y;
    const float moveSquared = mx * mx + my * my;
    if (moveSquared == 0.0f) {
        return false;
    }
    const float s = std::min((dx * mx + dy * my) / moveSquared, 1.0f);
    if (!(s > 0.0f)) {
        return false;  // closest at the end, which did not touch
    }
    const float cx = dx - s * mx;
    const float cy = dy - s * my;
    return reachSquared >= cx * cx + cy * cy;
}

// BodiesTouch, forced inline into the collision pass's inner walk: a call per candidate pair
// costs as much again as the test itself.
[[gnu::always_inline]] inline bool Touching(const BaseObject* a, const BaseObject* b) {
    if (a->GetState() != ObjectState::Active && b->GetState() != ObjectState::Active) {
        return false;
    }
    const CollisionBody* bodyA = a->GetBody();
    const CollisionBody* bodyB = b->GetBody();
    if (bodyA == nullptr || bodyB == nullptr) {
        return false;
    }
    const Vec2 moveA = BodyMove(*bodyA);
    const Vec2 moveB = BodyMove(*bodyB);
    for (uint32_t i = 0; i < bodyA->circleCount; ++i) {
        const CollisionCircle& circleA = bodyA->circles[i];
        const Vec2 centreA = CircleCentre(*bodyA, circleA);
        for (uint32_t j = 0; j < bodyB->circleCount; ++j) {
            const CollisionCircle& circleB = bodyB->circles[j];
            if (CirclesMeet(centreA, moveA, CircleCentre(*bodyB, circleB), moveB,
                            circleA.radius + circleB.radius)) {
                return true;
            }
        }
    }
    return false;
}

// The rectangle an object's circles sweep over during the frame, a little enlarged so that
// rounding never makes it miss a contact the exact test finds. Empty for an object without
// circles.
struct SweptBox {
    float minX = 1.0f;
    float minY = 1.0f;
    float maxX = -1.0f;
    float maxY = -1.0f;
};

constexpr float BoxSlack = 1.0f / 256.0f;

SweptBox SweptBoxOf(const BaseObject* object) {
    SweptBox box;
    const CollisionBody* body = object->GetBody();
    if (body == nullptr || body->circleCount == 0) {
        return box;
    }
    const Vec2 move = BodyMove(*body);
    box = SweptBox{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (uint32_t i = 0; i < body->circleCount; ++i) {
        const CollisionCircle& circle = body->circles[i];
        const Vec2 end = CircleCentre(*body, circle);
        const float reach = std::fabs(circle.radius) + BoxSlack;
        box.minX = std::min({box.minX, end.x - reach, end.x - move.x - reach});
        box.minY = std::min({box.minY, end.y - reach, end.y - move.y - reach});
        box.maxX = std::max({box.maxX, end.x + reach, end.x - move.x + reach});
        box.maxY = std::max({box.maxY, end.y + reach, end.y - move.y + reach});
    }
    return box;
}

inline bool Overlap(const SweptBox& a, const SweptBox& b) {
    return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
}

// A possible partner of the pass: an object of the list as it stood when the pass began, by its
// walk position, with its swept box.
struct Candidate {
    int32_t position;
    SweptBox box;
};

// The broad phase of one pass. The swept boxes of the objects in the list when the pass began are
// taken once; for each collision mask in use, the objects of the groups it names are gathered
// once, from the head to the tail, with their boxes side by side. An inner walk then goes through
// that short array and only reaches into the objects whose boxes meet its own, in the same order
// as a walk over the whole list. The arrays are kept from frame to frame, so a pass allocates
// nothing once the list has reached its size.
class BroadPhase {
public:
    void Begin(const ObjectListRecord& list) {
        list_ = &list;
        boxes_.resize(static_cast<std::size_t>(list.Count()));
        for (int32_t position = 0; position < list.Count(); ++position) {
            boxes_[position] = SweptBoxOf(list.ObjectAt(position));
        }
        std::fill(std::begin(gathered_), std::end(gathered_), false);
    }

    const SweptBox& BoxAt(int32_t position) const { return boxes_[position]; }

    // The Active objects of the mask's groups, from the head to the tail, as the list stood when
    // the pass began.
    const std::vector<Candidate>& CandidatesFor(uint16_t mask) {
        const uint16_t index = mask & (GroupMasks - 1);
        std::vector<Candidate>& candidates = byMask_[index];
        if (!gathered_[index]) {
            gathered_[index] = true;
            candidates.clear();
            for (int32_t position = static_cast<int32_t>(boxes_.size()) - 1; position >= 0;
                 --position) {
                if ((list_->GroupAt(position) & mask) != 0 &&
                    list_->ObjectAt(position)->GetState() == ObjectState::Active) {
                    candidates.push_back(Candidate{position, boxes_[position]});
                }
            }
        }
        return candidates;
    }

private:
    // Every mask is a combination of the four group bits.
    static constexpr uint16_t GroupMasks = 16;

    const ObjectListRecord* list_ = nullptr;
    std::vector<SweptBox> boxes_;
    std::vector<Candidate> byMask_[GroupMasks];
    bool gathered_[GroupMasks] = {};
};

BroadPhase Broad;

// The pair found: a is told of b, then b of a.
inline void Collide(BaseObject* a, BaseObject* b) {
    a->OnCollide(b);
    b->OnCollide(a);
}

}  // namespace

bool BodiesTouch(const BaseObject* a, const BaseObject* b) {
    return Touching(a, b);
}

void RunCollisionPass() {
    ObjectListRecord* list = ObjectList;
    const int32_t firstHead = list->HeadPosition();
    Broad.Begin(*list);
    for (int32_t outer = firstHead; outer >= 0; --outer) {
        BaseObject* a = list->ObjectAt(outer);
        const uint16_t mask = a->GetCollisionMask();
        if (mask == 0 || a->GetState() != ObjectState::Active) {
            continue;
        }
        // Objects added during this pass come first, being nearer the head; they are few.
        for (int32_t inner = list->HeadPosition();
             inner > firstHead && a->GetState() == ObjectState::Active; --inner) {
            BaseObject* b = list->ObjectAt(inner);
            if ((list->GroupAt(inner) & mask) != 0 && b->GetState() == ObjectState::Active &&
                Touching(a, b)) {
                Collide(a, b);
            }
        }
        const SweptBox& boxA = Broad.BoxAt(outer);
        for (const Candidate& candidate : Broad.CandidatesFor(mask)) {
            if (a->GetState() != ObjectState::Active) {
                break;
            }
            if (candidate.position == outer || !Overlap(boxA, candidate.box)) {
                continue;
            }
            BaseObject* b = list->ObjectAt(candidate.position);
            if (b->GetState() == ObjectState::Active && Touching(a, b)) {
                Collide(a, b);
            }
        }
    }
}
