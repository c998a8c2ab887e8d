#include "screens/MainMenu.h"

#include "app/Clock.h"
#include "app/Input.h"
#include "app/Platform.h"
#include "app/WindowSight.h"
#include "audio/OggVorbis.h"
#include "platform/System.h"
#include "render/Font.h"
#include "render/GLEntryPoints.h"
#include "screens/MenuKeys.h"
#include "screens/OptionsMenu.h"
#include "screens/RestartNotice.h"
#include "settings/Settings.h"
#include "settings/SettingsValues.h"

namespace {

// The buttons from the top of the screen down, as the keys step through them.
constexpr MainMenuWidgetIndex Buttons[] = {MainMenuStart, MainMenuOptions, MainMenuClearHighScore,
                                           MainMenuExit};

constexpr char NotSavedIntroduction[] = "Settings are not being saved: ";
constexpr char LeftOut[] = "...";

// The not-saved line for the reason the settings code gives now, or empty while they are saved.
std::string CurrentNotSavedLine() {
    std::string reason = SettingsNotSavedReason();
    return reason.empty() ? "" : NotSavedLine(reason);
}

void DrawMainMenu(const MainMenuWidgets& widgets, const Targa& pointer,
                  const std::string& notSavedLine) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    for (const MenuWidget& widget : widgets) {
        DrawMenuWidget(widget);
    }
    glColor3f(0.25f, 0.95f, 0.25f);
    SmallFont->DrawText(HighScoreLineColumn, HighScoreLineRow, HighScoreText);
    if (!notSavedLine.empty()) {
        glColor3f(1.0f, 0.64f, 0.22f);
        SmallFont->DrawText(NotSavedLineColumn, NotSavedLineRow, notSavedLine.c_str());
    }
    DrawMenuPointer(pointer);
    ShowFrame();
}

// The options menu, then what its result asks for: the restart notice after a GLSL change, and
// a save unless it was left by Escape.
void RunOptionsAndSave(const Targa& pointer) {
    Platform.delay(ClickPauseMilliseconds);
    OptionsResult result = RunOptionsMenu(pointer);
    if (result == OptionsNeedRestart) {
        RunRestartNotice(pointer);
    }
    if (result != OptionsLeftByEscape) {
        SaveSettings();
    }
    // The main menu begins anew: Escape still held from leaving the options does not end the game.
    BeginScreenInput();
}

}  // namespace

std::string NotSavedLine(const std::string& reason) {
    std::string line = NotSavedIntroduction + reason;
    if (line.size() <= NotSavedLineCells) {
        return line;
    }
    // The reason's start says what went wrong and its end names the file or the cause; a long
    // path between them gives way.
    size_t room = NotSavedLineCells - (sizeof NotSavedIntroduction - 1) - (sizeof LeftOut - 1);
    size_t head = room / 2;
    return NotSavedIntroduction + reason.substr(0, head) + LeftOut +
           reason.substr(reason.size() - (room - head));
}

MainMenuWidgets BuildMainMenuWidgets() {
    using P = MenuPicture;
    return MainMenuWidgets{
        MakePictureWidget(P::Header, -0.5f, 0.55f, 0.5f, 0.2f),
        MakePictureWidget(P::ShipScr, -0.75f, 0.3f, -0.35f, -0.1f),
        MakeButtonWidget(P::StartNormal, P::StartActive, -0.15f, 0.2f, 0.15f, 0.07f),
        MakeButtonWidget(P::ExitNormal, P::ExitActive, -0.15f, -0.22f, 0.15f, -0.35f),
        MakeButtonWidget(P::OptionsNormal, P::OptionsActive, -0.17f, 0.06f, 0.17f, -0.07f),
        MakeButtonWidget(P::ClearHighNormal, P::ClearHighActive, -0.27f, -0.08f, 0.27f, -0.21f),
        MakePictureWidget(P::Disclaimer, 0.0f, -0.4f, 0.77f, -0.55f),
        MakePictureWidget(P::Asteroid2, 0.6f, -0.2f, 0.5f, -0.1f),
        MakePictureWidget(P::PC, -0.7f, -0.4f, -0.6f, -0.5f),
    };
}

MenuCode RunMainMenu() {
    RestartClock(GlobalClock);
    MenuCode result = MenuQuit;
    bool running = true;
    Targa pointer;
    pointer.Load(MenuPointerPicturePath, MenuPointerPictureMipmapped);
    MainMenuWidgets widgets = BuildMainMenuWidgets();
    MenuMusic = new OggVorbis;
    MenuMusic->Load(MenuMusicPath);
    MenuMusic->Play(true);
    MenuKeys keys;
    std::string notSavedLine = CurrentNotSavedLine();
    BeginScreenInput();
    while (running) {
        PumpInput();
        TakeInputSnapshot();
        MoveMenuPointer(InputSnapshot.mouse);
        MenuKeyPress press = keys.Read(InputSnapshot);
        StepMenuPointer(widgets.data(), Buttons, press.step);
        if (EscapeHeld(InputSnapshot)) {
            result = MenuQuit;
            running = false;
        }
        for (MainMenuWidgetIndex button : Buttons) {
            HighlightIfPointed(widgets[button]);
        }
        DrawMainMenu(widgets, pointer, notSavedLine);
        if (LeftButtonHeld(InputSnapshot) || press.click) {
            if (ShowsActive(widgets[MainMenuStart])) {
                result = MenuNewGame;
                running = false;
            }
            if (ShowsActive(widgets[MainMenuExit])) {
                result = MenuQuit;
                running = false;
            }
            if (ShowsActive(widgets[MainMenuOptions])) {
                RunOptionsAndSave(pointer);
                notSavedLine = CurrentNotSavedLine();
            }
            if (ShowsActive(widgets[MainMenuClearHighScore])) {
                HighScore = 0;
                FormatHighScoreText();
            }
        }
        // A quit request leaves as Exit does, whatever the frame's click asked for.
        if (QuitRequested()) {
            result = MenuQuit;
            running = false;
        }
    }
    MenuMusic->Stop();
    delete MenuMusic;
    MenuMusic = nullptr;
    return result;
}
