#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "app/Input.h"
#include "audio/OggVorbis.h"
#include "render/MenuPictures.h"
#include "screens/MainMenu.h"
#include "screens/MenuWidget.h"
#include "screens/OptionsMenu.h"
#include "screens/RestartNotice.h"
#include "settings/Repository.h"
#include "settings/Settings.h"
#include "settings/SettingsValues.h"
#include "tests/support/GameScene.h"
#include "tests/support/MenuScene.h"
#include "tests/support/QuitSignals.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/SampleStreams.h"

namespace {

using Step = std::function<void()>;

// What one frame showed: the menu pictures in drawing order, the text lines and the pointer.
struct Frame {
    std::vector<const void*> pictures;
    std::vector<std::string> texts;
    MenuPointerPosition pointer;

    bool Shows(MenuPicture picture) const {
        return std::count(pictures.begin(), pictures.end(), MenuRegion(picture).corners) > 0;
    }
};

// Records every frame and runs the script's steps one after each swap, in order, counting frames
// afresh for each script.
class ScriptedMenus : public ::testing::Test {
protected:
    void Script(std::vector<Step> steps) {
        frames.clear();
        scene.driver.framesShown = 0;
        scene.driver.afterSwap = [this, steps = std::move(steps)](int frame) {
            Frame shown;
            for (const RecordingGL::DrawnElements& drawn : RecordingGL::ElementDraws()) {
                shown.pictures.push_back(drawn.texCoordArray);
            }
            for (const std::vector<GLuint>& lists : RecordingGL::CalledLists()) {
                shown.texts.push_back(TextOf(lists));
            }
            shown.pointer = MenuPointer;
            frames.push_back(shown);
            RecordingGL::ClearCalls();
            if (frame < static_cast<int>(steps.size())) {
                steps[frame]();
            }
        };
    }

    inline static const Step Press = [] { FrameDriver::PushMouseButton(true); };
    inline static const Step Release = [] { FrameDriver::PushMouseButton(false); };
    inline static const Step HoldEscape = [] { FrameDriver::PushKey(SDL_SCANCODE_ESCAPE, true); };
    static Step MoveTo(float x, float y) {
        return [x, y] { PushMotionTo(x, y); };
    }
    static Step Raise(int signal) {
        return [signal] { std::raise(signal); };
    }
    static Step Key(SDL_Scancode key, bool down) {
        return [key, down] { FrameDriver::PushKey(key, down); };
    }
    static Step Pad(Uint8 button, bool down) {
        return [button, down] { FrameDriver::PushPadButton(button, down); };
    }
    static Step StickY(Sint16 value) {
        return [value] { FrameDriver::PushPadAxis(SDL_CONTROLLER_AXIS_LEFTY, value); };
    }
    // The steps run one after another, as one step.
    static Step All(std::vector<Step> steps) {
        return [steps] {
            for (const Step& step : steps) {
                step();
            }
        };
    }
    static Step ClickAt(float x, float y) { return All({MoveTo(x, y), Press}); }

    MenuScene scene;
    std::vector<Frame> frames;
};

// The menus with sound on and a short menu tune to stream through the recording AL.
class MenuMusicTest : public ScriptedMenus {
protected:
    void SetUp() override {
        RecordingAL::Install();
        scene.assets.Write(MenuMusicPath, OggOf(Tone(440.0, 3.0, 1, 22050, 0.5f), 1, 22050));
        SoundEnabled = true;
    }
    void TearDown() override { RecordingAL::Uninstall(); }

    // What a player would hear right now, seen from a step: while the music streams, its tune
    // reaches OpenAL (buffers beyond those of the last check); once stopped, every source it
    // made was stopped and deleted.
    Step Expect(bool streaming, const char* when) {
        return [this, streaming, when] {
            ASSERT_NE(MenuMusic, nullptr) << when;
            if (streaming) {
                EXPECT_TRUE(WaitFor([&] { return RecordingAL::BufferDataCount() > checked; }))
                    << when;
            } else {
                size_t made = RecordingAL::CallsTo("alGenSources").size();
                EXPECT_EQ(RecordingAL::CallsTo("alSourceStop").size(), made) << when;
                EXPECT_EQ(RecordingAL::CallsTo("alDeleteSources").size(), made) << when;
            }
            checked = RecordingAL::BufferDataCount();
        };
    }

    size_t checked = 0;  // buffers queued by the last check
};

using MainMenu = ScriptedMenus;
using OptionsMenu = ScriptedMenus;
using RestartNotice = ScriptedMenus;
using MenuWidgets = ScriptedMenus;

// Places inside the buttons, in menu units.
constexpr float StartX = 0.0f, StartY = 0.1f;
constexpr float OptionsX = 0.0f, OptionsY = 0.0f;
constexpr float ClearHighX = 0.0f, ClearHighY = -0.15f;
constexpr float ExitX = 0.0f, ExitY = -0.28f;
constexpr float ToggleX = 0.06f, GlslY = -0.07f, SoundY = -0.18f, BrightnessY = -0.28f;
constexpr float OkX = 0.5f, OkY = -0.45f;

}  // namespace

TEST_F(MainMenu, OnlyAClickStrictlyInsideStartOrExitAnswers) {
    // A click exactly on Start's lower edge does nothing; a pixel up, with the button held, starts.
    Script({ClickAt(StartX, 0.07f), [] { FrameDriver::PushMotion(0, -1); }});
    EXPECT_EQ(RunMainMenu(), MenuNewGame);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_TRUE(frames[1].Shows(MenuPicture::StartNormal));
    EXPECT_FALSE(frames[1].Shows(MenuPicture::OptionsActive));
    EXPECT_TRUE(frames[2].Shows(MenuPicture::StartActive));

    FrameDriver::PushMouseButton(false);
    Script({MoveTo(ExitX, ExitY), Press});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_TRUE(frames[2].Shows(MenuPicture::ExitActive));
    EXPECT_FLOAT_EQ(MenuPointer.y, ExitY) << "the pointer keeps its place between visits";
}

TEST_F(MainMenu, ClearHighScoreShowsZeroOnTheNextFrameAndEscapeQuitsAtTheEndOfItsFrame) {
    HighScore = 1234;
    FormatHighScoreText();
    Script({ClickAt(ClearHighX, ClearHighY), All({Release, HoldEscape, MoveTo(StartX, StartY)})});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_EQ(HighScore, 0);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].texts, (std::vector<std::string>{"High Score:1234"}));
    EXPECT_EQ(frames[2].texts, (std::vector<std::string>{"High Score:0"}));
    EXPECT_TRUE(frames[2].Shows(MenuPicture::StartActive)) << "the frame was drawn whole";
    EXPECT_EQ(frames[2].pictures.size(), 9u);
    EXPECT_FALSE(scene.SettingsSaved()) << "the file gets the 0 at the next save";
}

TEST_F(MainMenu, OptionsChangedAndLeftByOkAreSavedButByEscapeOnlyKeptForThisRun) {
    for (bool byOk : {false, true}) {
        SCOPED_TRACE(byOk ? "left by OK" : "left by Escape");
        SoundEnabled = false;
        scene.driver.delays.clear();
        // The press of a step made in the frame that opens the options still belongs to the main
        // menu; Escape is let go only three frames after the options were left by it.
        Script({ClickAt(OptionsX, OptionsY), Release, ClickAt(ToggleX, SoundY),
                All({Release, byOk ? ClickAt(OkX, OkY) : HoldEscape}), Release, Release,
                Key(SDL_SCANCODE_ESCAPE, false), HoldEscape});
        EXPECT_EQ(RunMainMenu(), MenuQuit);
        EXPECT_EQ(frames.size(), 9u) << "Escape held from the options leaves the main menu only "
                                        "once pressed anew";
        EXPECT_TRUE(SoundEnabled);
        EXPECT_EQ(scene.SettingsSaved(), byOk);
        EXPECT_EQ(scene.driver.delays, (std::vector<Uint32>{200, 200, 500}));
        for (const Frame& frame : frames) {
            EXPECT_FALSE(frame.Shows(MenuPicture::RestartNotice));
        }
        FrameDriver::PushKey(SDL_SCANCODE_ESCAPE, false);
    }
}

TEST_F(MainMenu, GlslClickedTwiceStillShowsTheRestartNoticeAndSaves) {
    GlslChoice = false;
    GlslEnabled = false;
    Script({Press, All({Release, ClickAt(ToggleX, GlslY)}), Release, Press,
            All({Release, ClickAt(OkX, OkY)}), All({Release, HoldEscape}), Release,
            Key(SDL_SCANCODE_ESCAPE, false), HoldEscape});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_FALSE(GlslChoice);
    EXPECT_FALSE(GlslEnabled) << "the drawing path changes only at the next start";
    ASSERT_EQ(frames.size(), 10u) << "the Escape that left the notice does not leave the menu";
    EXPECT_TRUE(frames[2].Shows(MenuPicture::OffActive));
    EXPECT_TRUE(frames[3].Shows(MenuPicture::OnActive)) << "after the first click";
    EXPECT_TRUE(frames[4].Shows(MenuPicture::OnActive));
    EXPECT_TRUE(frames[5].Shows(MenuPicture::OffNormal)) << "after the second click";
    EXPECT_TRUE(frames[6].Shows(MenuPicture::RestartNotice)) << "left with Escape";
    EXPECT_TRUE(frames[8].Shows(MenuPicture::StartNormal)) << "back in the main menu";
    EXPECT_TRUE(scene.SettingsSaved());
    EXPECT_EQ(scene.driver.delays, (std::vector<Uint32>{200, 200, 200, 500, 500}));
}

// Why the settings are not being saved shows under the footer in every frame of the main menu,
// until a save from the options menu goes through.
TEST_F(MainMenu, SaysWhyTheSettingsAreNotBeingSavedUntilASaveGoesThrough) {
    const std::string settings = std::string("base/") + SettingsFileName;
    scene.assets.TempFolder::Write(settings + "/inside", {});
    LoadSettingsFromAssetRoot();
    FileOpenHook = OpenAssetFile;
    const std::string notSaved =
        NotSavedLine(scene.assets.Path() + "/" + settings + " is a folder");
    Step clearTheWay = [this, settings] { scene.assets.Remove(settings); };
    Script({ClickAt(OptionsX, OptionsY), All({Release, clearTheWay, ClickAt(OkX, OkY)}),
            All({Release, HoldEscape})});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_TRUE(scene.SettingsSaved());
    std::vector<std::vector<std::string>> mainMenuTexts;
    for (const Frame& frame : frames) {
        if (frame.Shows(MenuPicture::Disclaimer)) {
            mainMenuTexts.push_back(frame.texts);
        }
    }
    const std::string highScore = HighScoreText;
    EXPECT_EQ(mainMenuTexts, (std::vector<std::vector<std::string>>{
                                 {highScore, notSaved}, {highScore, notSaved}, {highScore}}));
}

// SIGTERM or SIGINT leaves each menu at the end of the frame it came in, without the pauses. The
// main menu answers MenuQuit whatever the frame's click asked for, and nothing is saved here:
// the shutdown saves the settings.
TEST_F(MainMenu, AQuitRequestLeavesEveryMenuAtTheEndOfItsFrame) {
    {
        QuitSignalsCaught signals;
        Script({ClickAt(StartX, StartY), Raise(SIGTERM)});  // in the frame of the click
        EXPECT_EQ(RunMainMenu(), MenuQuit);
        EXPECT_EQ(frames.size(), 2u);
    }
    FrameDriver::PushMouseButton(false);
    {
        QuitSignalsCaught signals;
        GlslChoice = false;
        // Options opens; its first frame sees the GLSL toggle clicked, and then SIGINT.
        Script(
            {ClickAt(OptionsX, OptionsY), All({Release, ClickAt(ToggleX, GlslY)}), Raise(SIGINT)});
        EXPECT_EQ(RunMainMenu(), MenuQuit);
        EXPECT_EQ(frames.size(), 3u) << "no restart notice";
        EXPECT_TRUE(GlslChoice);
        EXPECT_EQ(scene.driver.delays, (std::vector<Uint32>{200, 200}));
        EXPECT_FALSE(scene.SettingsSaved());
    }
    {
        QuitSignalsCaught signals;
        scene.driver.delays.clear();
        Script({Raise(SIGTERM)});
        RunRestartNotice(scene.pointer);
        EXPECT_EQ(frames.size(), 1u);
        EXPECT_TRUE(scene.driver.delays.empty());
    }
}

// Without a mouse: each press of Up, Down, Tab, the d-pad or the stick moves the pointer onto the
// next button's centre, lighting it, however long the press is held; Return, Space and pad A
// click once per press. A key held when the menu opens waits for a new press.
TEST_F(MainMenu, KeysAndThePadStepFromButtonToButtonAndClickOncePerPress) {
    FrameDriver::PushKey(SDL_SCANCODE_RETURN, true);
    PumpInput();  // held on the screen before
    Script({Key(SDL_SCANCODE_DOWN, true), [] {},
            All({Key(SDL_SCANCODE_DOWN, false), Key(SDL_SCANCODE_TAB, true)}),
            All({Key(SDL_SCANCODE_TAB, false), Pad(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true)}),
            All({Pad(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false), StickY(-32768)}), StickY(-10000),
            StickY(-20000), StickY(0), StickY(-20000), All({StickY(0), Key(SDL_SCANCODE_UP, true)}),
            Key(SDL_SCANCODE_UP, false),
            All({Key(SDL_SCANCODE_UP, true), Key(SDL_SCANCODE_RETURN, false)}),
            Key(SDL_SCANCODE_RETURN, true)});
    EXPECT_EQ(RunMainMenu(), MenuNewGame);
    using P = MenuPicture;
    // The stick pulled back only part of the way and pushed again is still the same push.
    const MenuPicture lit[] = {
        P::OptionsActive, P::ClearHighActive, P::ClearHighActive, P::ExitActive, P::StartActive,
        P::ExitActive,    P::ExitActive,      P::ExitActive,      P::ExitActive, P::ClearHighActive,
        P::OptionsActive, P::OptionsActive,   P::StartActive,     P::StartActive};
    ASSERT_EQ(frames.size(), std::size(lit)) << "Return held from the start opened nothing";
    for (size_t i = 0; i < std::size(lit); ++i) {
        EXPECT_TRUE(frames[i].Shows(lit[i])) << "frame " << i;
    }
    EXPECT_TRUE(scene.driver.delays.empty());
}

// Brightness steps High, Low, Medium, High and applies at once; a strange value shows no button
// and cannot be changed.
TEST_F(OptionsMenu, BrightnessStepsHighLowMediumHighAndAStrangeOneCannotBeChanged) {
    Brightness = 0;
    // A click acts after its frame is shown, so each new button is seen a frame later.
    Script({ClickAt(ToggleX, BrightnessY), Release, Press, Release, Press, Release, HoldEscape});
    EXPECT_EQ(RunOptionsMenu(scene.pointer), OptionsLeftByEscape);
    EXPECT_EQ(scene.driver.brightnesses, (std::vector<float>{0.5f, 0.75f, 1.0f}));
    EXPECT_TRUE(frames[1].Shows(MenuPicture::HighActive));
    EXPECT_TRUE(frames[2].Shows(MenuPicture::LowActive)) << "the new button, under the pointer";
    EXPECT_TRUE(frames[4].Shows(MenuPicture::MediumActive));
    EXPECT_TRUE(frames[6].Shows(MenuPicture::HighActive));
    EXPECT_EQ(Brightness, 0) << "left by Escape, the change stays in force";

    FrameDriver::PushKey(SDL_SCANCODE_ESCAPE, false);
    Brightness = 5;
    SoundEnabled = true;  // and only its On button shows
    scene.driver.brightnesses.clear();
    Script({ClickAt(ToggleX, BrightnessY), All({Release, HoldEscape})});
    EXPECT_EQ(RunOptionsMenu(scene.pointer), OptionsLeftByEscape);
    EXPECT_EQ(Brightness, 5);
    EXPECT_TRUE(scene.driver.brightnesses.empty());
    for (const Frame& frame : frames) {
        EXPECT_EQ(frame.pictures.size(), 9u) << "three pictures, three labels, two toggles, OK";
        EXPECT_FALSE(frame.Shows(MenuPicture::HighNormal) || frame.Shows(MenuPicture::HighActive));
    }
}

// Taps too short for a frame to see held still act, once each: two Return taps within one frame,
// or one in each of two frames (the second made while the menu pauses after the first click),
// step the brightness twice; a Down tap and an Up tap in one frame cancel out.
TEST_F(OptionsMenu, EveryTapActsOnceEvenWithinOneFrameOrDuringThePauseAfterAClick) {
    Brightness = 0;
    Step tap = All({Key(SDL_SCANCODE_RETURN, true), Key(SDL_SCANCODE_RETURN, false)});
    Step down = All({Key(SDL_SCANCODE_DOWN, true), Key(SDL_SCANCODE_DOWN, false)});
    Step up = All({Key(SDL_SCANCODE_UP, true), Key(SDL_SCANCODE_UP, false)});
    Script({MoveTo(ToggleX, BrightnessY), All({tap, tap}), [] {}, tap, [] {}, All({down, up}),
            HoldEscape});
    EXPECT_EQ(RunOptionsMenu(scene.pointer), OptionsLeftByEscape);
    EXPECT_EQ(scene.driver.brightnesses, (std::vector<float>{0.5f, 0.75f, 1.0f}));
    EXPECT_EQ(scene.driver.delays, (std::vector<Uint32>{200, 200, 200, 500}));
    EXPECT_FLOAT_EQ(frames.back().pointer.y, BrightnessY);
}

// The keys step through the visible option buttons top down, from no button onto the last one,
// past a row without a button; a press held on a toggle toggles it once.
TEST_F(OptionsMenu, KeysStepThroughTheVisibleButtonsAndAHeldPressTogglesOnce) {
    Brightness = 5;
    SoundEnabled = false;
    GlslChoice = false;
    Script({Key(SDL_SCANCODE_UP, true), Key(SDL_SCANCODE_UP, false), Key(SDL_SCANCODE_DOWN, true),
            Key(SDL_SCANCODE_DOWN, false), Key(SDL_SCANCODE_DOWN, true),
            All({Key(SDL_SCANCODE_DOWN, false), Key(SDL_SCANCODE_SPACE, true)}), [] {},
            All({Key(SDL_SCANCODE_SPACE, false), Key(SDL_SCANCODE_DOWN, true)}),
            Pad(SDL_CONTROLLER_BUTTON_A, true)});
    EXPECT_EQ(RunOptionsMenu(scene.pointer), OptionsAccepted);
    const float pointerY[] = {0.0f, OkY, OkY, GlslY, GlslY, SoundY, SoundY, SoundY, OkY, OkY};
    ASSERT_EQ(frames.size(), std::size(pointerY));
    for (size_t i = 0; i < std::size(pointerY); ++i) {
        EXPECT_FLOAT_EQ(frames[i].pointer.y, pointerY[i]) << "frame " << i;
    }
    EXPECT_TRUE(frames[1].Shows(MenuPicture::OKActive));
    EXPECT_TRUE(frames[7].Shows(MenuPicture::OnActive)) << "sound on, still lit";
    EXPECT_TRUE(SoundEnabled) << "toggled once";
    EXPECT_FALSE(GlslChoice);
    EXPECT_EQ(scene.driver.delays, (std::vector<Uint32>{200, 500}));
}

// The notice ends with a key, a click or pad A pressed while it shows; the click on OK that asked
// for it, still held when it comes up, does not end it.
TEST_F(RestartNotice, WaitsForAKeyAClickOrPadAPressedWhileItShows) {
    Script({[] {}, [] {}, [] { FrameDriver::PushKey(SDL_SCANCODE_A, true); }});
    RunRestartNotice(scene.pointer);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_TRUE(frames[0].Shows(MenuPicture::Header));
    EXPECT_TRUE(frames[0].Shows(MenuPicture::RestartNotice));
    EXPECT_EQ(scene.driver.delays, (std::vector<Uint32>{500}));

    FrameDriver::PushKey(SDL_SCANCODE_A, false);
    FrameDriver::PushMouseButton(true);
    PumpInput();
    Script({[] {}, Release, Press});
    RunRestartNotice(scene.pointer);
    EXPECT_EQ(frames.size(), 4u);

    FrameDriver::PushMouseButton(false);
    Script({Pad(SDL_CONTROLLER_BUTTON_A, true)});
    RunRestartNotice(scene.pointer);
    EXPECT_EQ(frames.size(), 2u) << "the controller's A ends it too";
}

TEST_F(MenuMusicTest, SoundOffStopsTheMusicAtOnceAndSoundOnOrTheNextVisitStartsItOver) {
    const std::vector<std::vector<uint8_t>>& buffered = RecordingAL::BufferedData();
    size_t buffersBeforeOn = 0;
    Step countBuffers = [&] { buffersBeforeOn = RecordingAL::BufferDataCount(); };
    // The pointer starts over Options. A click acts after its frame is shown: the step after it
    // sees what it did.
    Script({All({Expect(true, "first visit"), Press}), All({Release, ClickAt(ToggleX, SoundY)}),
            Release, All({Expect(false, "after sound off"), countBuffers}), Press, Release,
            All({Expect(true, "after sound on"), HoldEscape}), Release,
            Key(SDL_SCANCODE_ESCAPE, false), HoldEscape});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_TRUE(SoundEnabled);
    EXPECT_EQ(MenuMusic, nullptr);
    ASSERT_GT(buffered.size(), buffersBeforeOn);
    EXPECT_EQ(buffered[buffersBeforeOn], buffered[0]) << "sound on plays the tune from the start";

    size_t firstVisit = buffered.size();
    checked = firstVisit;
    Script({All({Expect(true, "second visit"), Key(SDL_SCANCODE_ESCAPE, false), HoldEscape})});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    ASSERT_GT(buffered.size(), firstVisit);
    EXPECT_EQ(buffered[firstVisit], buffered[0]) << "the next visit starts the tune over";
}

TEST_F(MenuWidgets, OnlyPointsStrictlyInsideAButtonAreOnIt) {
    const MenuWidget start = BuildMainMenuWidgets()[MainMenuStart];  // x -0.15..0.15, y 0.07..0.2
    const struct {
        float x, y;
        bool inside;
    } points[] = {{0.0f, 0.1f, true},   {-0.1499f, 0.0701f, true}, {-0.15f, 0.1f, false},
                  {0.15f, 0.1f, false}, {0.0f, 0.2f, false},       {0.0f, 0.07f, false},
                  {0.0f, -0.5f, false}};
    for (const auto& point : points) {
        EXPECT_EQ(MenuWidgetContains(start, point.x, point.y), point.inside)
            << point.x << ", " << point.y;
    }
    const MenuWidget ship = BuildOptionsWidgets()[OptionsShip];  // drawn mirrored: right < left
    EXPECT_TRUE(MenuWidgetContains(ship, 0.5f, 0.0f));
    EXPECT_FALSE(MenuWidgetContains(ship, 0.7f, 0.0f));
}

TEST_F(MenuWidgets, PointerFollowsTheMouseAndStaysInsideItsRectangle) {
    MoveMenuPointer(MouseRecord{50, 100, 0, {}});
    EXPECT_FLOAT_EQ(MenuPointer.x, 0.1f);
    EXPECT_FLOAT_EQ(MenuPointer.y, -0.2f) << "moving the mouse down moves the pointer down";
    MoveMenuPointer(MouseRecord{1000000, -1000000, 0, {}});
    EXPECT_EQ(MenuPointer.x, MenuPointerLimitX);
    EXPECT_EQ(MenuPointer.y, MenuPointerLimitY);
    MoveMenuPointer(MouseRecord{-2147483647, 2147483647, 0, {}});
    EXPECT_EQ(MenuPointer.x, -MenuPointerLimitX);
    EXPECT_EQ(MenuPointer.y, -MenuPointerLimitY);
    MoveMenuPointer(MouseRecord{1, 0, 0, {}});
    EXPECT_FLOAT_EQ(MenuPointer.x, -0.741f) << "one pixel back in at once";
}

// Which picture a widget shows, and that a hidden one shows none, the menus' frames tell.
TEST_F(MenuWidgets, WidgetDrawsItsCornersAsTwoTrianglesWithItsBundle) {
    DrawMenuWidget(
        MakeButtonWidget(MenuPicture::OKNormal, MenuPicture::OKActive, 0.4f, -0.4f, 0.6f, -0.5f));
    EXPECT_EQ(RecordingGL::ElementDraws().at(0).positions,
              (std::vector<float>{0.4f, -0.4f, -1, 0.6f, -0.4f, -1, 0.4f, -0.5f, -1, 0.4f, -0.5f,
                                  -1, 0.6f, -0.4f, -1, 0.6f, -0.5f, -1}))
        << "top-left, top-right, bottom-left and bottom-right";
    EXPECT_EQ(RecordingGL::CallsTo("glDrawElements").at(0).args[0], GL_TRIANGLES);
    std::vector<RecordedCall> binds = RecordingGL::CallsTo("glBindTexture");
    ASSERT_EQ(binds.size(), 1u);
    EXPECT_EQ(binds[0].args[1], MenuBundles[0]->textureId);
}
