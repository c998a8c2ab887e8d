#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/ShipSounds.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/PlayField.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/TempFolder.h"
#include "tools/forge/SoundEncoding.h"
#include "world/ExplosionObject.h"
#include "world/ShipObject.h"

namespace {

// With a fresh recording AL the three clips load in order, each taking a source and then a
// buffer name: the laser plays on source 1, the thrust on 3, the debris on 5.
constexpr double LaserSource = 1;
constexpr double ThrustSource = 3;
constexpr double DebrisSource = 5;

// The files in load order; each holds 64 samples of its own level, 100, 200 and 300.
const char* const ClipPaths[3] = {"sound/ship/BC_shot-laser3.wav", "sound/ship/thrust.wav",
                                  "sound/ship/BC_explosion-debris.wav"};

int16_t ClipLevel(int clip) {
    return static_cast<int16_t>(100 * (clip + 1));
}

std::vector<double> SourcesPlayed() {
    std::vector<double> sources;
    for (const RecordedCall& call : RecordingAL::CallsTo("alSourcePlay")) {
        sources.push_back(call.args[0]);
    }
    return sources;
}

}  // namespace

// The ship's three clips loaded from short files through a recording AL, with sound on.
class ShipSoundTest : public PlayFieldTest {
protected:
    void SetUp() override {
        PlayFieldTest::SetUp();
        RecordingAL::Install();
        SoundEnabled = true;
        for (int clip = 0; clip < 3; ++clip) {
            root.Write(ClipPaths[clip],
                       EncodeWave(std::vector<int16_t>(64, ClipLevel(clip)), 1, 22050));
        }
        LoadShipSounds();
        RecordingAL::ClearCalls();
    }

    void TearDown() override {
        FreeShipSounds();
        RecordingAL::Uninstall();
        PlayFieldTest::TearDown();
    }

    KeptSettings kept;
    TempAssetRoot root;
};

TEST_F(ShipSoundTest, TheShotTheEngineAndTheWreckEachPlayTheirOwnFile) {
    const std::vector<std::vector<uint8_t>>& buffered = RecordingAL::BufferedData();
    ASSERT_EQ(buffered.size(), 3u);
    for (int clip = 0; clip < 3; ++clip) {
        ASSERT_EQ(buffered[clip].size(), 128u) << ClipPaths[clip];
        EXPECT_EQ(buffered[clip][0] | buffered[clip][1] << 8, ClipLevel(clip)) << ClipPaths[clip];
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
    EXPECT_EQ(SourcesPlayed(), (std::vector<double>{ThrustSource, ThrustSource}));
    EXPECT_EQ(RecordingAL::CallsTo("alSourcei").back().args,
              (std::vector<double>{ThrustSource, AL_LOOPING, 1}));

    RecordingAL::ClearCalls();
    ASSERT_TRUE(ship->Fire());
    EXPECT_EQ(SourcesPlayed(), (std::vector<double>{LaserSource}));

    RecordingAL::ClearCalls();
    ship->LoseShip();
    ASSERT_EQ(RecordingAL::CallsTo("alSourceStop").size(), 1u);
    EXPECT_EQ(RecordingAL::CallsTo("alSourceStop")[0].args[0], ThrustSource);
    Add(new ExplosionObject(Vec2{1.0f, 2.0f}, 0.75f));
    EXPECT_EQ(SourcesPlayed(), (std::vector<double>{DebrisSource}));

    FreeShipSounds();
    EXPECT_FALSE(LaserShotSound || ThrustSound || DebrisExplosionSound);
    EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), 3u);
}
