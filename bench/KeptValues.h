#pragma once
// Every benchmark puts back the process-wide values it changes, so that the suite gives the
// same results whole, filtered or in any order.
#include <cstring>
#include <type_traits>

#include "app/AssetFiles.h"
#include "app/Clock.h"
#include "app/Input.h"
#include "audio/OggVorbis.h"
#include "game/GameRecord.h"
#include "world/AsteroidObject.h"
#include "world/FlameEmitter.h"
#include "world/ObjectList.h"

// Copies a process-wide value when made and writes the copy back when destroyed.
template <typename T>
class KeepValue {
    static_assert(std::is_trivially_copyable_v<T>, "kept byte for byte");

public:
    explicit KeepValue(T& value) : value(value) { std::memcpy(&saved, &value, sizeof(T)); }
    ~KeepValue() { std::memcpy(&value, &saved, sizeof(T)); }
    KeepValue(const KeepValue&) = delete;
    KeepValue& operator=(const KeepValue&) = delete;

private:
    T& value;
    T saved;
};

// Everything level play reads or writes outside the object list itself: the session and the
// level counters, the list, the clocks and music the loop uses, the input records and the
// shared state of asteroids and the flame. Made before a benchmark sets any of them up.
struct KeptPlayState {
    KeepValue<GameSessionRecord*> session{GameSession};
    KeepValue<ObjectListRecord*> objects{ObjectList};
    KeepValue<uint16_t> level{CurrentLevel};
    KeepValue<uint32_t> levelScore{LevelScore};
    KeepValue<uint32_t> levelStartScore{LevelStartScore};
    KeepValue<int32_t> asteroidsShot{AsteroidsShot};
    KeepValue<uint32_t> asteroidVariant{AsteroidVariantCounter};
    KeepValue<float> flamePrevious{FlamePreviousTime};
    KeepValue<float> flameCurrent{FlameCurrentTime};
    KeepValue<float> flameDebt{FlameEmitDebt};
    KeepValue<std::array<FlameColour, 4>> flameColours{FlameColours};
    KeepValue<Clock*> globalClock{GlobalClock};
    KeepValue<OggVorbis*> gameMusic{GameMusic};
    KeepValue<uint8_t[256]> keys{KeyState};
    KeepValue<MouseRecord> mouse{MouseState};
    KeepValue<PadRecord> pad{PadState};
    KeepValue<InputRecord> snapshot{InputSnapshot};
};

// What SetUpAssetRoot fills and every opened file changes: the asset root, the file opener and
// the last path built.
struct KeptAssetRoot {
    KeepValue<char[AssetPathCapacity]> root{AssetRoot};
    KeepValue<uint16_t> length{AssetRootLength};
    KeepValue<char[AssetPathCapacity]> path{AssetPath};
    KeepValue<FileOpenHookFunction> hook{FileOpenHook};
};
