#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
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
        Forget();
        RecordingAL::Uninstall();
        RecordingGL::Uninstall();
    }

    // Releases whatever the screens loaded, and forgets their frames and the files they opened.
    void Forget() {
        ReleaseAssetCatalogue();
        FreeShipSounds();
        delete DefaultProgram;
        delete ShipInvProgram;
        delete HeatProgram;
        DefaultProgram = ShipInvProgram = HeatProgram = nullptr;
        RecordingGL::ClearCalls();
        frameCalls.clear();
        Opened.clear();
        driver.framesShown = 0;
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
}

// The title fades in until the first frame at or after 1.5 s (the very first, when it comes that
// late), which shows the full title, the loading band and the progress frame while the catalogue
// and the ship sounds load; only the screen's own pictures are read before. With GLSL the shaders
// are built while that frame shows, unless a quit request came in it.
TEST_F(PresentationScreens, TitleLoadsEverythingInTheFirstFrameAtOrAfterOnePointFiveSeconds) {
    const struct {
        double frameMilliseconds, slowOpenMilliseconds;
        bool glsl, quitInLoadingFrame;
        int frames;
    } runs[] = {{500, 0, false, false, 4},
                {100, 2000, false, false, 1},
                {1000, 0, true, false, 3},
                {1000, 0, true, true, 3}};
    for (const auto& run : runs) {
        SCOPED_TRACE(::testing::Message()
                     << run.frameMilliseconds << " ms, quit " << run.quitInLoadingFrame);
        Forget();
        driver.frameMilliseconds = run.frameMilliseconds;
        SlowOpenMilliseconds = run.slowOpenMilliseconds;
        GlslEnabled = run.glsl;
        std::unique_ptr<QuitSignalsCaught> signals;
        if (run.quitInLoadingFrame) {
            signals = std::make_unique<QuitSignalsCaught>();
        }
        std::vector<bool> loadedAtSwap;
        onSwap = [&] {
            loadedAtSwap.push_back(Catalogue.background != nullptr);
            if (run.quitInLoadingFrame && loadedAtSwap.back()) {
                std::raise(SIGINT);
            }
        };
        ShowTitleAndLoadingScreen();
        std::vector<bool> expected(run.frames, false);
        expected.back() = true;
        EXPECT_EQ(loadedAtSwap, expected);
        const int last = run.frames - 1;
        for (int frame = 0; frame < last; ++frame) {
            EXPECT_EQ(CallsOfFrame(frame, "glVertex3f").size(), 6u) << "the title alone";
        }
        std::vector<RecordedCall> colours = CallsOfFrame(last, "glColor4f");
        ASSERT_EQ(colours.size(), 2u);
        EXPECT_GE(colours[0].args[3], 1.0) << "the title at full opacity once GL clamps it";
        EXPECT_EQ(colours[1].args, (std::vector<double>{1, 1, 1, 1}));
        std::vector<RecordedCall> band = CallsOfFrame(last, "glVertex3f");
        ASSERT_EQ(band.size(), 6u + 6u + 5u) << "title, loading band, progress frame";
        EXPECT_EQ(band[6].args, (std::vector<double>{-1.0, -2.25, -5.5}));
        ASSERT_GE(Opened.size(), 3u);
        EXPECT_EQ(Opened[0].name, TitlePicturePath);
        EXPECT_EQ(Opened[1].name, LoadingPicturePath);
        bool shaderRead = false;
        for (size_t i = 2; i < Opened.size(); ++i) {
            const bool shader = Opened[i].name.find("shaders/") == 0;
            shaderRead |= shader;
            EXPECT_EQ(Opened[i].framesShown, shader ? run.frames : last) << Opened[i].name;
        }
        const bool shadersBuilt = run.glsl && !run.quitInLoadingFrame;
        EXPECT_EQ(shaderRead, shadersBuilt);
        EXPECT_EQ(DefaultProgram != nullptr, shadersBuilt);
        EXPECT_NE(LaserShotSound, nullptr);
    }
}

// SIGTERM during the presenter ends it after that frame; the title screen then shows nothing and
// loads nothing.
TEST_F(PresentationScreens, AQuitRequestEndsThePresenterAndSkipsTheTitle) {
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
