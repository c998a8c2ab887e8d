#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "audio/ShipSounds.h"
#include "render/AssetCatalogue.h"
#include "render/ShaderProgram.h"
#include "screens/PresenterScreen.h"
#include "screens/TitleScreen.h"
#include "tests/support/FrameDriver.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/QuitSignals.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempFolder.h"

namespace {

// What the opener was asked for, and how many frames had been shown at the time.
struct OpenedFile {
    std::string name;
    int framesShown;
};
std::vector<OpenedFile> Opened;
FrameDriver* OpeningDriver = nullptr;
double SlowOpenMilliseconds = 0.0;  // how long opening the loading picture takes

void RecordingOpener(const char* name, const char* mode, FILE** out) {
    Opened.push_back(OpenedFile{name, OpeningDriver->framesShown});
    if (std::string(name) == LoadingPicturePath) {
        OpeningDriver->time.AdvanceMilliseconds(SlowOpenMilliseconds);
    }
    OpenAssetFile(name, mode, out);
}

// Each frame's GL calls are kept, split at each swap; onSwap then runs.
class PresentationScreens : public ::testing::Test {
protected:
    void SetUp() override {
        driver.afterSwap = [this](int) {
            frameCalls.push_back(RecordingGL::Calls());
            RecordingGL::Calls().clear();
            if (onSwap) {
                onSwap();
            }
        };
        RecordingGL::Install();
        RecordingAL::Install();
        GlslEnabled = false;
        Opened.clear();
        OpeningDriver = &driver;
        SlowOpenMilliseconds = 0.0;
        FileOpenHook = RecordingOpener;
        testing::internal::CaptureStderr();  // the empty asset root makes the loaders complain
    }
    void TearDown() override {
        testing::internal::GetCapturedStderr();
        ReleaseAssetCatalogue();
        FreeShipSounds();
        delete DefaultProgram;
        delete ShipInvProgram;
        delete HeatProgram;
        DefaultProgram = ShipInvProgram = HeatProgram = nullptr;
        RecordingAL::Uninstall();
        RecordingGL::Uninstall();
    }

    std::vector<RecordedCall> CallsOfFrame(size_t frame, const char* name) const {
        return CallsNamed(frameCalls.at(frame), name);
    }

    KeptSettings kept;
    TempAssetRoot assets;
    FrameDriver driver{100.0};
    std::vector<std::vector<RecordedCall>> frameCalls;
    std::function<void()> onSwap;
};

}  // namespace

TEST_F(PresentationScreens, PresenterEndsWithTheFirstFrameAtOrAfterFiveSecondsWhateverTheInput) {
    onSwap = [] {
        FrameDriver::PushKey(SDL_SCANCODE_ESCAPE, true);
        FrameDriver::PushMouseButton(true);
    };
    ShowPresenterScreen();
    EXPECT_EQ(driver.framesShown, 51) << "frames at 0, 0.1, ... 4.9 and the one at 5.0";

    // The first frame: both halves 2.5 units out, upper to the left, and fully transparent.
    std::vector<RecordedCall> colours = CallsOfFrame(0, "glColor4f");
    ASSERT_EQ(colours.size(), 1u);
    EXPECT_EQ(colours[0].args[3], 0.0);
    std::vector<RecordedCall> vertices = CallsOfFrame(0, "glVertex3f");
    ASSERT_EQ(vertices.size(), 12u);
    EXPECT_EQ(vertices[0].args, (std::vector<double>{-3.5, 1.0, -2.5})) << "upper, left top";
    EXPECT_EQ(vertices[5].args, (std::vector<double>{-1.5, 0.0, -2.5})) << "upper, right bottom";
    EXPECT_EQ(vertices[6].args, (std::vector<double>{1.5, 0.0, -2.5})) << "lower, left top";
    EXPECT_EQ(vertices[11].args, (std::vector<double>{3.5, -1.0, -2.5}));
    // Half-way the halves rest together.
    std::vector<RecordedCall> middle = CallsOfFrame(25, "glVertex3f");
    EXPECT_EQ(middle[0].args[0], -1.0);
    EXPECT_EQ(middle[6].args[0], -1.0);

    driver.framesShown = 0;
    driver.frameMilliseconds = 300.0;
    ShowPresenterScreen();
    EXPECT_EQ(driver.framesShown, 18) << "0 to 4.8 s in steps of 0.3, then 5.1";
}

TEST_F(PresentationScreens, TitleLoadsEverythingInTheFirstFrameAtOrAfterOnePointFiveSeconds) {
    driver.frameMilliseconds = 500.0;
    std::vector<bool> loadedAtSwap;
    onSwap = [&] { loadedAtSwap.push_back(Catalogue.background != nullptr); };
    ShowTitleAndLoadingScreen();
    EXPECT_EQ(loadedAtSwap, (std::vector<bool>{false, false, false, true}))
        << "frames at 0, 0.5 and 1 s fade the title in; the one at exactly 1.5 s loads and ends";
    for (size_t frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(CallsOfFrame(frame, "glVertex3f").size(), 6u) << frame;
    }

    // The loading frame: the full title, the band of the loading picture and the green frame.
    std::vector<RecordedCall> colours = CallsOfFrame(3, "glColor4f");
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_GE(colours[0].args[3], 1.0) << "at full opacity once GL clamps it";
    EXPECT_EQ(colours[1].args, (std::vector<double>{1, 1, 1, 1}));
    std::vector<RecordedCall> band = CallsOfFrame(3, "glVertex3f");
    ASSERT_EQ(band.size(), 6u + 6u + 5u) << "title, loading band, progress frame";
    EXPECT_EQ(band[6].args, (std::vector<double>{-1.0, -2.25, -5.5}));
    EXPECT_EQ(band[16].args, band[12].args) << "the frame closes on itself";

    // The screen's own pictures load first; the catalogue and the ship sounds inside the
    // fourth frame.
    ASSERT_GE(Opened.size(), 3u);
    EXPECT_EQ(Opened.back().name, "sound/ship/BC_explosion-debris.wav");
    EXPECT_NE(LaserShotSound, nullptr);
    EXPECT_EQ(Opened[0].name, TitlePicturePath);
    EXPECT_EQ(Opened[1].name, LoadingPicturePath);
    for (size_t i = 2; i < Opened.size(); ++i) {
        EXPECT_EQ(Opened[i].framesShown, 3) << Opened[i].name;
        EXPECT_EQ(Opened[i].name.find("shaders/"), std::string::npos) << "only with GLSL";
    }
    EXPECT_EQ(DefaultProgram, nullptr);
}

TEST_F(PresentationScreens, SlowFirstFrameShowsTheFullTitleAndLoadsAtOnce) {
    SlowOpenMilliseconds = 2000.0;
    ShowTitleAndLoadingScreen();
    ASSERT_EQ(frameCalls.size(), 1u);
    std::vector<RecordedCall> colours = CallsOfFrame(0, "glColor4f");
    ASSERT_FALSE(colours.empty());
    EXPECT_EQ(colours[0].args, (std::vector<double>{1, 1, 1, 1}));
    EXPECT_NE(Catalogue.background, nullptr);
}

TEST_F(PresentationScreens, WithGlslTheShadersAreBuiltWhileTheLoadingFrameShows) {
    driver.frameMilliseconds = 1000.0;
    GlslEnabled = true;
    ShowTitleAndLoadingScreen();
    EXPECT_EQ(driver.framesShown, 3) << "frames at 0, 1 and 2 s";
    int shaderFiles = 0;
    for (const OpenedFile& file : Opened) {
        if (file.name.find("shaders/") == 0) {
            ++shaderFiles;
            EXPECT_EQ(file.framesShown, 3) << file.name << " is read while the last frame shows";
        }
    }
    EXPECT_GT(shaderFiles, 0);
    EXPECT_NE(DefaultProgram, nullptr);
}

// SIGTERM during the presenter ends it after that frame; the title screen then shows nothing and
// loads nothing. One during the loading frame still lets the loading finish, but no shader is
// built.
TEST_F(PresentationScreens, AQuitRequestEndsThePresenterAndSkipsWhatTheTitleHasNotStarted) {
    {
        QuitSignalsCaught signals;
        onSwap = [this] {
            if (driver.framesShown == 3) {
                std::raise(SIGTERM);
            }
        };
        ShowPresenterScreen();
        EXPECT_EQ(driver.framesShown, 3);
        ShowTitleAndLoadingScreen();
        EXPECT_EQ(driver.framesShown, 3) << "no title frame";
        EXPECT_EQ(Catalogue.background, nullptr);
        EXPECT_EQ(LaserShotSound, nullptr);
    }
    QuitSignalsCaught signals;
    driver.frameMilliseconds = 1000.0;
    GlslEnabled = true;
    onSwap = [this] {
        if (driver.framesShown == 3 + 3) {  // the title's third frame loads
            std::raise(SIGINT);
        }
    };
    ShowTitleAndLoadingScreen();
    EXPECT_NE(Catalogue.background, nullptr);
    EXPECT_EQ(DefaultProgram, nullptr);
}
