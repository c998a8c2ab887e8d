#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Clock.h"
#include "app/Program.h"
#include "audio/OggVorbis.h"
#include "game/GameRecord.h"
#include "render/Font.h"
#include "settings/SettingsValues.h"
#include "tests/support/DrivenTime.h"
#include "tests/support/FrameDriver.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempFolder.h"

namespace {

std::vector<double> Multiplied;  // the matrix of the last glMultMatrixd

void APIENTRY CaptureMatrix(const GLdouble* matrix) {
    RecordingGL::Calls().push_back({"glMultMatrixd", {}});
    Multiplied.assign(matrix, matrix + 16);
}

}  // namespace

// At a 4:3 desktop, with brightness at medium.
TEST(StartUpState, TheWholeWindowDrawsThroughTheFixedProjectionWithDepthAndBlackClears) {
    FrameDriver driver(16.0);
    KeptSettings kept;
    RecordingGL::Install();
    PublishedGLLegacy.glMultMatrixd = CaptureMatrix;
    ScreenWidth = 1600;
    ScreenHeight = 1200;
    Brightness = 1;
    SetUpDrawingState();
    EXPECT_EQ(driver.brightnesses, std::vector<float>{0.75f});
    using Call = RecordedCall;
    EXPECT_EQ(RecordingGL::Calls(),
              (std::vector<RecordedCall>{
                  Call{"glViewport", {0, 0, 1600, 1200}}, Call{"glMatrixMode", {GL_PROJECTION}},
                  Call{"glLoadIdentity", {}}, Call{"glMultMatrixd", {}},
                  Call{"glMatrixMode", {GL_MODELVIEW}}, Call{"glLoadIdentity", {}},
                  Call{"glClearColor", {0, 0, 0, 0}},
                  Call{"glHint", {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}},
                  Call{"glEnable", {GL_DEPTH_TEST}}, Call{"glDepthFunc", {GL_LEQUAL}},
                  Call{"glShadeModel", {GL_SMOOTH}}}));
    // Column-major: a fixed 4:3 aspect, f = 1 / tan(22.5 radians), near 0.1 (as a float), far 500.
    EXPECT_EQ(Multiplied,
              (std::vector<double>{1.3444432401894781, 0, 0, 0, 0, 1.792590986919304, 0, 0, 0, 0,
                                   -1.0004000800219661, -1.0, 0, 0, -0.200040010983025, 0}));
    RecordingGL::Uninstall();
}

TEST(GameResources, AreMadeFromTheirFilesAndAllReleased) {
    DrivenTime time;
    KeptSettings kept;
    TempAssetRoot assets;
    RecordingGL::Install();
    RecordingAL::Install();
    RecordOpenedAssets();
    HighScore = 777;
    GlobalClock = CreateClock();

    CreateGameResources();
    EXPECT_EQ(OpenedAssets(),
              (std::vector<std::string>{GameMusicPath, FontImagePath, FontImagePath}))
        << "the in-game music, then the large font and the small one";
    ASSERT_TRUE(GameMusic != nullptr && GameSession != nullptr && LargeFont != nullptr &&
                SmallFont != nullptr);
    EXPECT_EQ(LargeFont->size, 1);
    EXPECT_EQ(SmallFont->size, 2);
    EXPECT_GT(LevelTable[0].asteroidCount, 0);
    EXPECT_STREQ(HighScoreText, "High Score:777");

    ReleaseGameResources();
    EXPECT_TRUE(GameMusic == nullptr && GameSession == nullptr && LargeFont == nullptr &&
                SmallFont == nullptr && GlobalClock == nullptr);
    RecordingAL::Uninstall();
    RecordingGL::Uninstall();
}
