#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "audio/OggVorbis.h"
#include "render/Font.h"
#include "render/MenuPictures.h"
#include "screens/MainMenu.h"
#include "screens/OptionsMenu.h"
#include "screens/RestartNotice.h"
#include "settings/SettingsValues.h"
#include "tests/support/MenuScene.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/SampleStreams.h"

namespace {

using Step = std::function<void()>;

// What one frame showed: the menu pictures in drawing order and the text lines.
struct Frame {
    std::vector<const void*> pictures;
    std::vector<std::string> texts;

    bool Shows(MenuPicture picture) const {
        for (const void* shown : pictures) {
            if (shown == MenuRegion(picture).corners) {
                return true;
            }
        }
        return false;
    }
};

// The text a glCallLists call drew with the small font.
std::string TextOf(const std::vector<GLuint>& lists) {
    std::string text;
    for (GLuint list : lists) {
        text += static_cast<char>(list - FontLists.glyphListBase[2] + ' ');
    }
    return text;
}

// Records every frame and runs the script's steps one after each swap, in order.
class ScriptedMenus : public ::testing::Test {
protected:
    void Script(std::vector<Step> steps) {
        scene.driver.afterSwap = [this, steps = std::move(steps)](int frame) {
            Frame shown;
            for (const RecordingGL::DrawnElements& drawn : RecordingGL::ElementDraws()) {
                shown.pictures.push_back(drawn.texCoordArray);
            }
            for (const std::vector<GLuint>& lists : RecordingGL::CalledLists()) {
                shown.texts.push_back(TextOf(lists));
            }
            frames.push_back(shown);
            RecordingGL::ClearCalls();
            if (frame < static_cast<int>(steps.size())) {
                steps[frame]();
            }
        };
    }

    static Step MoveTo(float x, float y) {
        return [x, y] { PushMotionTo(x, y); };
    }
    static Step Press() {
        return [] { FrameDriver::PushLeftButton(true); };
    }
    static Step Release() {
        return [] { FrameDriver::PushLeftButton(false); };
    }
    static Step HoldEscape() {
        return [] { FrameDriver::PushKey(SDL_SCANCODE_ESCAPE, true); };
    }
    static Step Both(Step a, Step b) {
        return [a, b] {
            a();
            b();
        };
    }
    static Step ClickAt(float x, float y) { return Both(MoveTo(x, y), Press()); }

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

    // Whether the menu music streams right now, as seen from a step.
    static Step Expect(bool streaming, const char* when) {
        return [streaming, when] {
            ASSERT_NE(MenuMusic, nullptr) << when;
            EXPECT_EQ(!MenuMusic->Finished(), streaming) << when;
        };
    }
};

using MainMenu = ScriptedMenus;
using OptionsMenu = ScriptedMenus;
using RestartNotice = ScriptedMenus;

// Places inside the buttons, in menu units.
constexpr float StartX = 0.0f, StartY = 0.1f;
constexpr float ClearHighX = 0.0f, ClearHighY = -0.15f;
constexpr float ExitX = 0.0f, ExitY = -0.28f;
constexpr float ToggleX = 0.06f, GlslY = -0.07f, SoundY = -0.18f, BrightnessY = -0.28f;
constexpr float OkX = 0.5f, OkY = -0.45f;

}  // namespace

TEST_F(MainMenu, EscapeQuitsAtTheEndOfTheFrameThatSeesIt) {
    Script({Both(HoldEscape(), MoveTo(StartX, StartY))});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    ASSERT_EQ(scene.driver.framesShown, 2);
    EXPECT_TRUE(frames[1].Shows(MenuPicture::StartActive)) << "the frame was drawn whole";
    EXPECT_EQ(frames[1].pictures.size(), 9u);
    EXPECT_EQ(frames[1].texts, (std::vector<std::string>{HighScoreText}));
    EXPECT_FALSE(scene.SettingsSaved());
}

TEST_F(MainMenu, StartAndExitAnswerAClickOverThem) {
    Script({ClickAt(StartX, StartY)});
    EXPECT_EQ(RunMainMenu(), MenuNewGame);
    EXPECT_EQ(scene.driver.framesShown, 2);

    frames.clear();
    scene.driver.framesShown = 0;
    FrameDriver::PushLeftButton(false);
    Script({MoveTo(ExitX, ExitY), Press()});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_EQ(scene.driver.framesShown, 3);
    EXPECT_TRUE(frames[2].Shows(MenuPicture::ExitActive));
    EXPECT_FLOAT_EQ(MenuPointer.y, ExitY) << "the pointer keeps its place between visits";
}

TEST_F(MainMenu, PointerExactlyOnAnEdgeLightsNothingAndItsClickDoesNothing) {
    Script({ClickAt(StartX, 0.07f), [] { FrameDriver::PushMotion(0, -1); }});
    EXPECT_EQ(RunMainMenu(), MenuNewGame);
    ASSERT_EQ(scene.driver.framesShown, 3) << "the click on the edge did not start a game";
    EXPECT_TRUE(frames[1].Shows(MenuPicture::StartNormal));
    EXPECT_FALSE(frames[1].Shows(MenuPicture::OptionsActive));
    EXPECT_TRUE(frames[2].Shows(MenuPicture::StartActive));
}

TEST_F(MainMenu, ClearHighScoreShowsZeroOnTheNextFrameAndSavesNothingYet) {
    HighScore = 1234;
    FormatHighScoreText();
    Script({ClickAt(ClearHighX, ClearHighY), Both(Release(), HoldEscape())});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_EQ(HighScore, 0);
    EXPECT_STREQ(HighScoreText, "High Score:0");
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].texts, (std::vector<std::string>{"High Score:1234"}));
    EXPECT_EQ(frames[2].texts, (std::vector<std::string>{"High Score:0"}));
    EXPECT_FALSE(scene.SettingsSaved()) << "the file gets the 0 at the next save";
}

TEST_F(MainMenu, OptionsLeftByOkSaveTheSettings) {
    // The pointer starts over Options.
    Script({Press(), Both(Release(), ClickAt(OkX, OkY)), Both(Release(), HoldEscape())});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_TRUE(frames[2].Shows(MenuPicture::OKActive)) << "the options menu's frame";
    EXPECT_TRUE(scene.SettingsSaved());
    EXPECT_EQ(scene.driver.delays, (std::vector<Uint32>{200, 500}));
}

TEST_F(MainMenu, OptionsLeftByEscapeKeepTheChangesUnsaved) {
    SoundEnabled = false;
    Script({Press(), Both(Release(), ClickAt(ToggleX, SoundY)), Both(Release(), HoldEscape())});
    EXPECT_EQ(RunMainMenu(), MenuQuit) << "Escape, still held, then leaves the main menu too";
    EXPECT_TRUE(SoundEnabled) << "in force for this run";
    EXPECT_FALSE(scene.SettingsSaved());
    EXPECT_EQ(scene.driver.delays, (std::vector<Uint32>{200, 200, 500}));
}

TEST_F(MainMenu, GlslClickedTwiceStillShowsTheRestartNoticeAndSaves) {
    GlslChoice = false;
    GlslEnabled = false;
    Script({Press(), Both(Release(), ClickAt(ToggleX, GlslY)), Release(), Press(),
            Both(Release(), ClickAt(OkX, OkY)), Both(Release(), HoldEscape())});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_FALSE(GlslChoice);
    EXPECT_FALSE(GlslEnabled) << "the drawing path changes only at the next start";
    ASSERT_EQ(frames.size(), 8u);
    EXPECT_TRUE(frames[2].Shows(MenuPicture::OffActive));
    EXPECT_TRUE(frames[3].Shows(MenuPicture::OnActive)) << "after the first click";
    EXPECT_TRUE(frames[4].Shows(MenuPicture::OnActive));
    EXPECT_TRUE(frames[5].Shows(MenuPicture::OffNormal)) << "after the second click";
    EXPECT_TRUE(frames[6].Shows(MenuPicture::RestartNotice)) << "left with Escape";
    EXPECT_TRUE(scene.SettingsSaved());
    EXPECT_EQ(scene.driver.delays, (std::vector<Uint32>{200, 200, 200, 500, 500}));
}

TEST_F(OptionsMenu, OkGivesNineteenEscapeTwentyAndOkAfterAGlslClickTwentyOne) {
    Script({ClickAt(OkX, OkY)});
    EXPECT_EQ(RunOptionsMenu(scene.pointer), OptionsAccepted);

    scene.driver.framesShown = 0;
    FrameDriver::PushLeftButton(false);
    Script({HoldEscape()});
    EXPECT_EQ(RunOptionsMenu(scene.pointer), OptionsLeftByEscape);

    bool glsl = GlslChoice;
    scene.driver.framesShown = 0;
    FrameDriver::PushKey(SDL_SCANCODE_ESCAPE, false);
    Script({ClickAt(ToggleX, GlslY), Both(Release(), ClickAt(OkX, OkY))});
    EXPECT_EQ(RunOptionsMenu(scene.pointer), OptionsNeedRestart);
    EXPECT_NE(GlslChoice, glsl);
    EXPECT_EQ(scene.driver.delays, (std::vector<Uint32>{500, 500, 200, 500}));
}

TEST_F(OptionsMenu, BrightnessStepsHighLowMediumHighAndAppliesAtOnce) {
    Brightness = 0;
    std::vector<int32_t> levels;
    Step record = [&levels] { levels.push_back(Brightness); };
    // A click acts after its frame is shown, so each new level is seen a frame later.
    Script({ClickAt(ToggleX, BrightnessY), Release(), Both(record, Press()), Release(),
            Both(record, Press()), Release(), Both(record, HoldEscape())});
    EXPECT_EQ(RunOptionsMenu(scene.pointer), OptionsLeftByEscape);
    EXPECT_EQ(levels, (std::vector<int32_t>{2, 1, 0}));
    EXPECT_EQ(scene.driver.brightnesses, (std::vector<float>{0.5f, 0.75f, 1.0f}));
    EXPECT_TRUE(frames[1].Shows(MenuPicture::HighActive));
    EXPECT_TRUE(frames[2].Shows(MenuPicture::LowActive)) << "the new button, under the pointer";
    EXPECT_TRUE(frames[4].Shows(MenuPicture::MediumActive));
    EXPECT_TRUE(frames[6].Shows(MenuPicture::HighActive));
    EXPECT_EQ(Brightness, 0) << "left by Escape, the change stays in force";
}

TEST_F(OptionsMenu, StrangeBrightnessShowsNoButtonAndCannotBeChanged) {
    Brightness = 5;
    Script({ClickAt(ToggleX, BrightnessY), Both(Release(), HoldEscape())});
    EXPECT_EQ(RunOptionsMenu(scene.pointer), OptionsLeftByEscape);
    EXPECT_EQ(Brightness, 5);
    EXPECT_TRUE(scene.driver.brightnesses.empty());
    for (const Frame& frame : frames) {
        EXPECT_EQ(frame.pictures.size(), 9u) << "three pictures, three labels, two toggles, OK";
        EXPECT_FALSE(frame.Shows(MenuPicture::HighNormal) || frame.Shows(MenuPicture::HighActive));
    }
}

TEST_F(RestartNotice, WaitsForAKeyOrTheButton) {
    Script({[] {}, [] {}, [] { FrameDriver::PushKey(SDL_SCANCODE_A, true); }});
    RunRestartNotice(scene.pointer);
    EXPECT_EQ(scene.driver.framesShown, 4);
    EXPECT_TRUE(frames[0].Shows(MenuPicture::Header));
    EXPECT_TRUE(frames[0].Shows(MenuPicture::RestartNotice));
    EXPECT_EQ(scene.driver.delays, (std::vector<Uint32>{500}));
}

TEST_F(RestartNotice, EndsAtOnceWhenTheButtonIsStillHeld) {
    FrameDriver::PushLeftButton(true);
    Script({});
    RunRestartNotice(scene.pointer);
    EXPECT_EQ(scene.driver.framesShown, 1);
}

TEST_F(MenuMusicTest, PlaysFromItsBeginningOnEveryVisitAndIsGoneAfterwards) {
    Script({Both(Expect(true, "first visit"), HoldEscape())});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_EQ(MenuMusic, nullptr);
    size_t firstVisit = RecordingAL::BufferedData().size();
    ASSERT_GE(firstVisit, 1u);

    scene.driver.framesShown = 0;
    Script({Both(Expect(true, "second visit"), HoldEscape())});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    ASSERT_GT(RecordingAL::BufferedData().size(), firstVisit);
    EXPECT_EQ(RecordingAL::BufferedData()[firstVisit], RecordingAL::BufferedData()[0])
        << "the second visit starts the tune over";
}

TEST_F(MenuMusicTest, SoundOffStopsTheMusicAtOnceAndSoundOnStartsItOver) {
    size_t buffersBeforeOn = 0;
    Step countBuffers = [&buffersBeforeOn] { buffersBeforeOn = RecordingAL::BufferDataCount(); };
    // A click acts after its frame is shown: the step after it sees what it did.
    Script({Press(), Both(Release(), ClickAt(ToggleX, SoundY)), Release(),
            Both(Expect(false, "after sound off"), countBuffers), Press(), Release(),
            Both(Expect(true, "after sound on"), HoldEscape())});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_TRUE(SoundEnabled);
    const std::vector<std::vector<uint8_t>>& buffered = RecordingAL::BufferedData();
    ASSERT_GT(buffered.size(), buffersBeforeOn);
    EXPECT_EQ(buffered[buffersBeforeOn], buffered[0]) << "sound on plays the tune from the start";
}
