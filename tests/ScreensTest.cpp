#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "app/Clock.h"
#include "app/Input.h"
#include "audio/ShipSounds.h"
#include "render/AssetCatalogue.h"
#include "render/BundleFile.h"
#include "render/Font.h"
#include "render/MenuPictures.h"
#include "render/ShaderProgram.h"
#include "screens/MainMenu.h"
#include "screens/MenuWidget.h"
#include "screens/OptionsMenu.h"
#include "screens/PresenterScreen.h"
#include "screens/RestartNotice.h"
#include "screens/TitleScreen.h"
#include "settings/Repository.h"
#include "settings/Settings.h"
#include "settings/SettingsValues.h"
#include "tests/support/FrameDriver.h"
#include "tests/support/GameScene.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSystem.h"

namespace {

using Step = std::function<void()>;

// What one frame showed: the menu pictures in drawing order, the text lines, the pointer and
// every GL call.
struct Frame {
    std::vector<const void*> pictures;
    std::vector<std::string> texts;
    MenuPointerPosition pointer;
    std::vector<RecordedCall> calls;  // every GL call

    bool Shows(MenuPicture picture) const {
        return std::count(pictures.begin(), pictures.end(), MenuRegion(picture).corners) > 0;
    }
};

// Everything the menus need, headless: recording GL, driven frames and time, an empty asset root
// of its own (so saved settings land there), the menu pictures' regions (empty bundles: each
// picture is still told apart by its own region), the small font, the global clock, the pointer
// at (0, 0) and sound off; all put back afterwards. Records every frame and runs the script's
// steps one after each swap, in order, counting frames afresh for each script.
class ScriptedMenus : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingGL::Install();
        testing::internal::CaptureStderr();  // the missing bundles are named there
        LoadMenuBundles();
        FindMenuRegions();
        testing::internal::GetCapturedStderr();
        SmallFont = new Font;
        SmallFont->Init(2);
        GlobalClock = CreateClock();
        MenuPointer = MenuPointerPosition{};
        SoundEnabled = false;
        RecordingGL::ClearCalls();
    }
    void TearDown() override {
        delete GlobalClock;
        GlobalClock = nullptr;
        delete SmallFont;
        SmallFont = nullptr;
        ReleaseMenuPictures();
        RecordingGL::Uninstall();
    }

    // True once a save has written the settings file below this test's asset root.
    bool SettingsSaved() const {
        return !assets.Read(std::string("base/") + SettingsFileName).empty();
    }

    void Script(std::vector<Step> steps) {
        frames.clear();
        driver.framesShown = 0;
        driver.afterSwap = [this, steps = std::move(steps)](int frame) {
            Frame shown;
            for (const RecordingGL::DrawnElements& drawn : RecordingGL::ElementDraws()) {
                shown.pictures.push_back(drawn.texCoordArray);
            }
            for (const std::vector<GLuint>& lists : RecordingGL::CalledLists()) {
                shown.texts.push_back(TextOf(lists));
            }
            shown.pointer = MenuPointer;
            shown.calls = RecordingGL::Calls();
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
    // The relative mouse motion that brings the pointer from where it is to (x, y).
    static Step MoveTo(float x, float y) {
        return [x, y] {
            FrameDriver::PushMotion(
                static_cast<int>(std::lround((x - MenuPointer.x) * MousePixelsPerUnit)),
                static_cast<int>(std::lround((MenuPointer.y - y) * MousePixelsPerUnit)));
        };
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

    KeptSettings kept;
    TempAssetRoot assets;
    FrameDriver driver;
    Targa pointer;  // never loaded: the menus only bind it
    std::vector<Frame> frames;
};

using MainMenu = ScriptedMenus;
using OptionsMenu = ScriptedMenus;
using RestartNotice = ScriptedMenus;
using MenuWidgets = ScriptedMenus;

// Places inside the buttons, in menu units.
constexpr float OptionsX = 0.0f, OptionsY = 0.0f;
constexpr float ClearHighX = 0.0f, ClearHighY = -0.15f;
constexpr float ExitX = 0.0f, ExitY = -0.28f;
constexpr float ToggleX = 0.06f, GlslY = -0.07f, SoundY = -0.18f, BrightnessY = -0.28f;
constexpr float OkX = 0.5f, OkY = -0.45f;

// A rectangle in screen pixels, y counted from the bottom as GL counts.
struct Box {
    double left, bottom, right, top;
};

// The cells of the small font's grid that a line of text takes, widened by `margin` pixels.
Box TextCells(uint32_t column, uint32_t row, size_t cells, double margin) {
    float width = FontCellWidth(2), height = FontCellHeight(2);
    return {column * width - margin, row * height - margin, (column + cells) * width + margin,
            (row + 1) * height + margin};
}

// True when the boxes overlap or touch.
bool Touch(const Box& a, const Box& b) {
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

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

// The presenter and the title on the menus' set-up, at 100 ms a frame, with the recording AL for
// the ship sounds and every file the screens open recorded in Opened.
class PresentationScreens : public ScriptedMenus {
protected:
    void SetUp() override {
        ScriptedMenus::SetUp();
        RecordingAL::Install();
        driver.frameMilliseconds = 100.0;
        GlslEnabled = false;
        OpeningDriver = &driver;
        SlowOpenMilliseconds = 0.0;
        FileOpenHook = RecordingOpener;
        testing::internal::CaptureStderr();  // the empty asset root makes the loaders complain
        Forget();
    }
    void TearDown() override {
        testing::internal::GetCapturedStderr();
        Forget();
        RecordingAL::Uninstall();
        ScriptedMenus::TearDown();
    }

    // Releases whatever the screens loaded, and forgets the calls and files before the next one.
    void Forget() {
        ReleaseAssetCatalogue();
        FreeShipSounds();
        delete DefaultProgram;
        delete ShipInvProgram;
        delete HeatProgram;
        DefaultProgram = ShipInvProgram = HeatProgram = nullptr;
        RecordingGL::ClearCalls();
        Opened.clear();
    }

    std::vector<RecordedCall> CallsOfFrame(size_t frame, const char* name) const {
        return CallsNamed(frames.at(frame).calls, name);
    }
};

}  // namespace

// Clear high score shows 0 in the next frame and saves nothing yet; Exit quits; the pointer keeps
// its place between visits.
TEST_F(MainMenu, ClearHighScoreShowsZeroAtOnceExitQuitsAndThePointerStaysBetweenVisits) {
    HighScore = 1234;
    FormatHighScoreText();
    Script({ClickAt(ClearHighX, ClearHighY), All({Release, ClickAt(ExitX, ExitY)})});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_EQ(HighScore, 0);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].texts, (std::vector<std::string>{"High Score:1234"}));
    EXPECT_EQ(frames[2].texts, (std::vector<std::string>{"High Score:0"}));
    EXPECT_TRUE(frames[2].Shows(MenuPicture::ExitActive));
    EXPECT_EQ(frames[2].pictures.size(), 9u) << "every picture of the main menu";
    EXPECT_FALSE(SettingsSaved()) << "the file gets the 0 at the next save";
    Script({Release, Press});  // the button held from the last visit counts once pressed anew
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_TRUE(frames[0].Shows(MenuPicture::ExitActive));
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
    EXPECT_TRUE(frames[5].Shows(MenuPicture::OffNormal)) << "after the second click";
    EXPECT_TRUE(frames[6].Shows(MenuPicture::RestartNotice)) << "left with Escape";
    EXPECT_TRUE(frames[6].Shows(MenuPicture::Header));
    EXPECT_TRUE(frames[8].Shows(MenuPicture::StartNormal)) << "back in the main menu";
    EXPECT_TRUE(SettingsSaved());
    EXPECT_EQ(driver.delays, (std::vector<Uint32>{200, 200, 200, 500, 500}));
}

// Why the settings are not being saved shows under the footer in every frame of the main menu,
// until a save from the options menu goes through.
TEST_F(MainMenu, SaysWhyTheSettingsAreNotBeingSavedUntilASaveGoesThrough) {
    const std::string settings = std::string("base/") + SettingsFileName;
    assets.TempFolder::Write(settings + "/inside", {});
    LoadSettingsFromAssetRoot();
    FileOpenHook = OpenAssetFile;
    const std::string notSaved = NotSavedLine(assets.Path() + "/" + settings + " is a folder");
    Step clearTheWay = [this, settings] { assets.Remove(settings); };
    Script({ClickAt(OptionsX, OptionsY), All({Release, clearTheWay, ClickAt(OkX, OkY)}),
            All({Release, HoldEscape})});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_TRUE(SettingsSaved());
    ASSERT_EQ(frames.size(), 4u) << "the main menu, the options in frame 2, the menu";
    const std::vector<std::string> before{HighScoreText, notSaved}, after{HighScoreText};
    EXPECT_EQ(frames[0].texts, before);
    EXPECT_EQ(frames[1].texts, before);
    EXPECT_EQ(frames[3].texts, after);
}

// A quit request leaves the options at the end of the frame it came in, without the pauses and
// without the restart notice, and nothing is saved here: the shutdown saves the settings.
TEST_F(MainMenu, AQuitRequestLeavesTheOptionsAtTheEndOfItsFrame) {
    QuitRequestsCaught requests;
    GlslChoice = false;
    // Options opens; its first frame sees the GLSL toggle clicked, and then a quit request.
    Script({ClickAt(OptionsX, OptionsY), All({Release, ClickAt(ToggleX, GlslY)}),
            [] { RequestQuit(QuitFrom::Terminal); }});
    EXPECT_EQ(RunMainMenu(), MenuQuit);
    EXPECT_EQ(frames.size(), 3u) << "no restart notice";
    EXPECT_TRUE(GlslChoice);
    EXPECT_EQ(driver.delays, (std::vector<Uint32>{200, 200}));
    EXPECT_FALSE(SettingsSaved());
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
    EXPECT_TRUE(driver.delays.empty());
}

// Taps too short for a frame to see held still act, once each: two Return taps within one frame,
// or one in each of two frames (the second made while the menu pauses after the first click),
// step the brightness High, Low, Medium, High, each new button under the pointer; a Down tap and
// an Up tap in one frame cancel out.
TEST_F(OptionsMenu, EveryTapActsOnceEvenWithinOneFrameOrDuringThePauseAfterAClick) {
    Brightness = 0;
    Step tap = All({Key(SDL_SCANCODE_RETURN, true), Key(SDL_SCANCODE_RETURN, false)});
    Step down = All({Key(SDL_SCANCODE_DOWN, true), Key(SDL_SCANCODE_DOWN, false)});
    Step up = All({Key(SDL_SCANCODE_UP, true), Key(SDL_SCANCODE_UP, false)});
    Script({MoveTo(ToggleX, BrightnessY), All({tap, tap}), [] {}, tap, [] {}, All({down, up}),
            HoldEscape});
    EXPECT_EQ(RunOptionsMenu(pointer), OptionsLeftByEscape);
    EXPECT_EQ(driver.brightnesses, (std::vector<float>{0.5f, 0.75f, 1.0f}));
    EXPECT_EQ(Brightness, 0) << "left by Escape, the change stays in force";
    EXPECT_EQ(driver.delays, (std::vector<Uint32>{200, 200, 200, 500}));
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
    EXPECT_EQ(RunOptionsMenu(pointer), OptionsAccepted);
    const float pointerY[] = {0.0f, OkY, OkY, GlslY, GlslY, SoundY, SoundY, SoundY, OkY, OkY};
    ASSERT_EQ(frames.size(), std::size(pointerY));
    for (size_t i = 0; i < std::size(pointerY); ++i) {
        EXPECT_FLOAT_EQ(frames[i].pointer.y, pointerY[i]) << "frame " << i;
    }
    EXPECT_EQ(frames[0].pictures.size(), 9u) << "three pictures, three labels, two toggles, OK";
    EXPECT_TRUE(frames[1].Shows(MenuPicture::OKActive));
    EXPECT_TRUE(frames[7].Shows(MenuPicture::OnActive)) << "sound on, still lit";
    EXPECT_TRUE(SoundEnabled) << "toggled once";
    EXPECT_FALSE(GlslChoice);
    EXPECT_EQ(driver.delays, (std::vector<Uint32>{200, 500}));
}

// The notice ends with a click or pad A pressed while it shows (with a key in the GLSL test),
// pausing before it goes; the click on OK that asked for it, still held when it comes up, does not
// end it. A quit request ends it at the end of its frame, without the pause.
TEST_F(RestartNotice, WaitsForAClickOrPadAPressedWhileItShowsOrAQuitRequest) {
    FrameDriver::PushMouseButton(true);
    PumpInput();
    Script({[] {}, Release, Press});
    RunRestartNotice(pointer);
    EXPECT_EQ(frames.size(), 4u);

    FrameDriver::PushMouseButton(false);
    Script({Pad(SDL_CONTROLLER_BUTTON_A, true)});
    RunRestartNotice(pointer);
    EXPECT_EQ(frames.size(), 2u) << "the controller's A ends it too";

    QuitRequestsCaught requests;
    Script({[] { RequestQuit(QuitFrom::Desktop); }});
    RunRestartNotice(pointer);
    EXPECT_EQ(frames.size(), 1u);
    EXPECT_EQ(driver.delays, (std::vector<Uint32>{500, 500}));
}

TEST_F(MenuWidgets, OnlyPointsStrictlyInsideAButtonAreOnIt) {
    const MenuWidget start = BuildMainMenuWidgets()[MainMenuStart];  // x -0.15..0.15, y 0.07..0.2
    const struct {
        float x, y;
        bool inside;
    } points[] = {{0.0f, 0.1f, true},   {-0.1499f, 0.0701f, true}, {-0.15f, 0.1f, false},
                  {0.15f, 0.1f, false}, {0.0f, 0.2f, false},       {0.0f, 0.07f, false}};
    for (const auto& point : points) {
        EXPECT_EQ(MenuWidgetContains(start, point.x, point.y), point.inside)
            << point.x << ", " << point.y;
    }
}

TEST_F(MenuWidgets, PointerStaysInsideItsRectangle) {
    MoveMenuPointer(MouseRecord{1000000, -1000000, 0, {}});
    EXPECT_EQ(MenuPointer.x, MenuPointerLimitX);
    EXPECT_EQ(MenuPointer.y, MenuPointerLimitY);
    MoveMenuPointer(MouseRecord{-2147483647, 2147483647, 0, {}});
    EXPECT_EQ(MenuPointer.x, -MenuPointerLimitX);
    EXPECT_EQ(MenuPointer.y, -MenuPointerLimitY);
    MoveMenuPointer(MouseRecord{1, 0, 0, {}});
    EXPECT_FLOAT_EQ(MenuPointer.x, -0.741f) << "one pixel back in at once";
}

// The main menu's bottom right, as it lies on the screen: the forged footer picture's text keeps
// more than 8 pixels clear of the high score's cells, a 7-digit record with its space included,
// and of the not-saved line's, and ends at least 16 pixels before the picture's right edge, on
// the 1024 x 768 picture and on the smaller one of a 1280 x 720 screen; and there is text across
// most of the footer.
TEST_F(MainMenu, ItsFooterTextKeepsClearOfTheHighScoreTheNotSavedLineAndTheRightEdge) {
    std::ifstream file(TestExecutableFolder() + "/base/tbundles/menu/menu1.qtb", std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    BundleContents bundle;
    ASSERT_TRUE(ParseBundle(bytes.data(), bytes.size(), bundle));
    const BundleEntry* entry = FindBundleEntry(bundle.entries, "Disclaimer.tga");
    ASSERT_NE(entry, nullptr);
    const MenuWidget footer = BuildMainMenuWidgets()[MainMenuDisclaimer];
    for (int height : {768, 720}) {
        SCOPED_TRACE(height);
        ScreenWidth = height * 4 / 3;
        ScreenHeight = height;
        // Where the game's fixed 4:3 projection puts the footer's corners at the menu's depth.
        auto screenX = [&](float x) {
            return (1 + 1.3444432401894781 * x / -MenuDepth) * ScreenWidth / 2;
        };
        auto screenY = [&](float y) {
            return (1 + 1.792590986919304 * y / -MenuDepth) * height / 2;
        };
        const double left = screenX(footer.corners[0]), right = screenX(footer.corners[3]);
        const double top = screenY(footer.corners[1]), bottom = screenY(footer.corners[7]);
        const double margin = 8 * height / 768.0;
        const Box highScore = TextCells(HighScoreLineColumn, HighScoreLineRow,
                                        std::strlen("High Score: 9999999"), margin);
        const Box notSaved =
            TextCells(NotSavedLineColumn, NotSavedLineRow, NotSavedLineCells, margin);
        const double columns = entry->x1 - entry->x0, rows = entry->y1 - entry->y0;
        size_t inked = 0, nearHighScore = 0, nearNotSaved = 0;
        double rightmost = 0, leftmost = 1e9;
        for (uint32_t y = entry->y0; y < entry->y1; ++y) {  // bottom row first
            for (uint32_t x = entry->x0; x < entry->x1; ++x) {
                if (bundle.pixels[(static_cast<size_t>(y) * bundle.width + x) * 4 + 3] == 0) {
                    continue;
                }
                const double column = x - entry->x0, row = y - entry->y0;
                const Box pixel{left + (right - left) * column / columns,
                                bottom + (top - bottom) * row / rows,
                                left + (right - left) * (column + 1) / columns,
                                bottom + (top - bottom) * (row + 1) / rows};
                ++inked;
                nearHighScore += Touch(pixel, highScore);
                nearNotSaved += Touch(pixel, notSaved);
                rightmost = std::max(rightmost, pixel.right);
                leftmost = std::min(leftmost, pixel.left);
            }
        }
        ASSERT_GT(inked, 3000u) << "the footer shows its text";
        EXPECT_EQ(nearHighScore, 0u);
        EXPECT_EQ(nearNotSaved, 0u);
        EXPECT_LE(rightmost, ScreenWidth - 16);
        EXPECT_GT(rightmost - leftmost, ScreenWidth * 0.4) << "lines across the footer";
    }
}

// A short reason shows whole; a long one loses its middle, so that its start (what went wrong)
// and its end (what is in the way) still show, and the line fills its cells exactly.
TEST(MainMenuFooter, TheNotSavedLineFitsItsCells) {
    EXPECT_EQ(NotSavedLine("~/.config/brindles-cataclysm is not a folder"),
              "Settings are not being saved: ~/.config/brindles-cataclysm is not a folder");
    EXPECT_EQ(
        NotSavedLine("~/.config/" + std::string(60, 'x') + "/brindles-cataclysm is not a folder"),
        "Settings are not being saved: ~/.config/xxxxxxxxxxxx...taclysm is not a folder");
    const std::string fits(NotSavedLineCells - std::strlen("Settings are not being saved: "), 'y');
    EXPECT_EQ(NotSavedLine(fits).size(), NotSavedLineCells);
    EXPECT_EQ(NotSavedLine(fits).find("..."), std::string::npos);
}

TEST_F(PresentationScreens, PresenterEndsWithTheFirstFrameAtOrAfterFiveSecondsWhateverTheInput) {
    Script(std::vector<Step>(60, All({HoldEscape, Press})));
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
// are built while that frame shows.
TEST_F(PresentationScreens, TitleLoadsEverythingInTheFirstFrameAtOrAfterOnePointFiveSeconds) {
    const struct {
        double frameMilliseconds, slowOpenMilliseconds;
        bool glsl;
        int frames;
    } runs[] = {{500, 0, false, 4}, {100, 2000, false, 1}, {1000, 0, true, 3}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.frameMilliseconds);
        Forget();
        driver.frameMilliseconds = run.frameMilliseconds;
        SlowOpenMilliseconds = run.slowOpenMilliseconds;
        GlslEnabled = run.glsl;
        std::vector<bool> loadedAtSwap;
        Script(std::vector<Step>(run.frames,
                                 [&] { loadedAtSwap.push_back(Catalogue.background != nullptr); }));
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
        EXPECT_EQ(shaderRead, run.glsl);
        EXPECT_EQ(DefaultProgram != nullptr, run.glsl);
        EXPECT_NE(LaserShotSound, nullptr);
    }
}

// A quit request during the presenter ends it after that frame; the title screen then shows nothing
// and loads nothing.
TEST_F(PresentationScreens, AQuitRequestEndsThePresenterAndSkipsTheTitle) {
    QuitRequestsCaught requests;
    Script({[] {}, [] {}, [] { RequestQuit(QuitFrom::Desktop); }});
    ShowPresenterScreen();
    EXPECT_EQ(driver.framesShown, 3);
    ShowTitleAndLoadingScreen();
    EXPECT_EQ(driver.framesShown, 3) << "no title frame";
    EXPECT_EQ(Catalogue.background, nullptr);
    EXPECT_EQ(LaserShotSound, nullptr);
}
