#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/ShipSounds.h"
#include "tests/support/GameScene.h"
#include "tests/support/PlayField.h"
#include "tests/support/RecordingAL.h"
#include "world/ExplosionObject.h"
#include "world/ShipObject.h"

namespace {

std::vector<double> SourcesPlayed() {
    std::vector<double> sources;
    for (const RecordedCall& call : RecordingAL::CallsTo("alSourcePlay")) {
        sources.push_back(call.args[0]);
    }
    return sources;
}

}  // namespace

// The ship's three clips as a game scene loads them, on a fresh play field.
class ShipSoundTest : public PlayFieldTest {
protected:
    void SetUp() override {
        PlayFieldTest::SetUp();
        RecordingAL::ClearCalls();
    }

    GameScene scene;
};

TEST_F(ShipSoundTest, TheShotTheEngineAndTheWreckEachPlayTheirOwnFile) {
    const std::vector<std::vector<uint8_t>>& buffered = RecordingAL::BufferedData();
    ASSERT_EQ(buffered.size(), 3u);
    for (int clip = 0; clip < 3; ++clip) {
        ASSERT_EQ(buffered[clip].size(), 128u) << GameScene::ShipClips[clip];
        EXPECT_EQ(buffered[clip][0] | buffered[clip][1] << 8, 100 * (clip + 1))
            << GameScene::ShipClips[clip];
    }
    auto* ship = Add(new ShipObject);
    session.ship = ship;
    std::vector<int> playedAt;
    for (int frame = 1; frame <= 80; ++frame) {  // frames of 15.625 ms
        ship->thrusting = frame > 16;
        size_t before = SourcesPlayed().size();
        ship->Update(1.0f / 64.0f);
        if (SourcesPlayed().size() > before) {
            playedAt.push_back(frame);
        }
    }
    // The timer runs with or without thrust: the engine starts within 500 ms of pressing thrust
    // and restarts every 500 ms.
    EXPECT_EQ(playedAt, (std::vector<int>{32, 64}));
    EXPECT_EQ(SourcesPlayed(),
              (std::vector<double>{GameScene::ThrustSource, GameScene::ThrustSource}));
    EXPECT_EQ(RecordingAL::CallsTo("alSourcei").back().args,
              (std::vector<double>{GameScene::ThrustSource, AL_LOOPING, 1}));

    RecordingAL::ClearCalls();
    ship->LoseShip();
    ASSERT_EQ(RecordingAL::CallsTo("alSourceStop").size(), 1u);
    EXPECT_EQ(RecordingAL::CallsTo("alSourceStop")[0].args[0], GameScene::ThrustSource);
    Add(new ExplosionObject(Vec2{1.0f, 2.0f}, 0.75f));
    EXPECT_EQ(SourcesPlayed(), (std::vector<double>{GameScene::DebrisSource}));

    FreeShipSounds();
    EXPECT_FALSE(LaserShotSound || ThrustSound || DebrisExplosionSound);
    EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 3u);
}
