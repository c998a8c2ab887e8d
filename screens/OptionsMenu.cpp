#include "screens/OptionsMenu.h"

#include "app/Input.h"
#include "app/Platform.h"
#include "app/Program.h"
#include "app/WindowSight.h"
#include "audio/OggVorbis.h"
#include "platform/System.h"
#include "render/GLEntryPoints.h"
#include "screens/MainMenu.h"
#include "screens/MenuKeys.h"
#include "settings/SettingsValues.h"

namespace {

// From the top of the screen down; one button of each row is visible.
constexpr OptionsWidgetIndex Buttons[] = {
    OptionsGlslOn,         OptionsGlslOff,          OptionsSoundOn,       OptionsSoundOff,
    OptionsBrightnessHigh, OptionsBrightnessMedium, OptionsBrightnessLow, OptionsOk};

// The brightness button of each level, 0 to 2.
constexpr OptionsWidgetIndex BrightnessButtons[3] = {OptionsBrightnessHigh, OptionsBrightnessMedium,
                                                     OptionsBrightnessLow};

// A click on the visible button of a two-valued option shows the other one; true when the
// option was clicked.
bool ClickToggle(MenuWidget& on, MenuWidget& off) {
    if (on.visible && ShowsActive(on)) {
        on.visible = false;
        off.visible = true;
        return true;
    }
    if (off.visible && ShowsActive(off)) {
        off.visible = false;
        on.visible = true;
        return true;
    }
    return false;
}

// Steps the brightness when its visible button is clicked (Low, then Medium, then High are
// looked at) and shows the button of the new level; true when it was clicked.
bool ClickBrightness(OptionsWidgets& widgets) {
    for (int32_t level : {2, 1, 0}) {
        MenuWidget& button = widgets[BrightnessButtons[level]];
        if (button.visible && ShowsActive(button)) {
            Brightness = NextBrightness(level);
            button.visible = false;
            widgets[BrightnessButtons[Brightness]].visible = true;
            return true;
        }
    }
    return false;
}

// Sound off silences the menu music at once; sound on plays it again from its beginning.
void FollowSoundSetting() {
    if (MenuMusic == nullptr) {
        return;
    }
    if (SoundEnabled) {
        MenuMusic->Load(MenuMusicPath);
        MenuMusic->Play(true);
    } else {
        MenuMusic->Stop();
    }
}

void DrawOptionsMenu(const OptionsWidgets& widgets, const Targa& pointer) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    for (const MenuWidget& widget : widgets) {
        DrawMenuWidget(widget);
    }
    DrawMenuPointer(pointer);
    ShowFrame();
}

}  // namespace

int32_t NextBrightness(int32_t level) {
    switch (level) {
        case 0:
            return 2;
        case 2:
            return 1;
        default:
            return 0;
    }
}

OptionsWidgets BuildOptionsWidgets() {
    using P = MenuPicture;
    OptionsWidgets widgets{
        MakePictureWidget(P::ShipScr, 0.7f, 0.2f, 0.3f, -0.2f),
        MakePictureWidget(P::Asteroid2, 0.5f, -0.35f, 0.6f, -0.25f),
        MakePictureWidget(P::Header, -0.5f, 0.55f, 0.5f, 0.2f),
        MakePictureWidget(P::Glsl, -0.7f, -0.02f, -0.1f, -0.12f),
        MakeButtonWidget(P::OnNormal, P::OnActive, 0.0f, -0.02f, 0.125f, -0.12f),
        MakeButtonWidget(P::OffNormal, P::OffActive, 0.0f, -0.02f, 0.125f, -0.12f),
        MakePictureWidget(P::Sound, -0.7f, -0.13f, -0.3f, -0.23f),
        MakeButtonWidget(P::OnNormal, P::OnActive, 0.0f, -0.13f, 0.125f, -0.23f),
        MakeButtonWidget(P::OffNormal, P::OffActive, 0.0f, -0.13f, 0.125f, -0.23f),
        MakePictureWidget(P::Brightness, -0.7f, -0.24f, -0.1f, -0.34f),
        MakeButtonWidget(P::HighNormal, P::HighActive, 0.0f, -0.24f, 0.25f, -0.34f),
        MakeButtonWidget(P::MediumNormal, P::MediumActive, 0.0f, -0.23f, 0.4f, -0.33f),
        MakeButtonWidget(P::LowNormal, P::LowActive, 0.0f, -0.23f, 0.225f, -0.33f),
        MakeButtonWidget(P::OKNormal, P::OKActive, 0.4f, -0.4f, 0.6f, -0.5f),
    };
    widgets[OptionsGlslOn].visible = GlslChoice;
    widgets[OptionsGlslOff].visible = !GlslChoice;
    widgets[OptionsSoundOn].visible = SoundEnabled;
    widgets[OptionsSoundOff].visible = !SoundEnabled;
    for (int32_t level = 0; level < 3; ++level) {
        widgets[BrightnessButtons[level]].visible = Brightness == level;
    }
    return widgets;
}

OptionsResult RunOptionsMenu(const Targa& pointer) {
    OptionsWidgets widgets = BuildOptionsWidgets();
    bool running = true;
    bool restartNeeded = false;
    OptionsResult result = OptionsAccepted;
    MenuKeys keys;
    BeginScreenInput();
    while (true) {
        PumpInput();
        TakeInputSnapshot();
        MoveMenuPointer(InputSnapshot.mouse);
        MenuKeyPress press = keys.Read(InputSnapshot);
        StepMenuPointer(widgets.data(), Buttons, press.step);
        for (OptionsWidgetIndex button : Buttons) {
            if (widgets[button].visible) {
                HighlightIfPointed(widgets[button]);
            }
        }
        DrawOptionsMenu(widgets, pointer);
        if (LeftButtonHeld(InputSnapshot) || press.click) {
            if (ClickToggle(widgets[OptionsGlslOn], widgets[OptionsGlslOff])) {
                GlslChoice = !GlslChoice;
                restartNeeded = true;
                Platform.delay(ClickPauseMilliseconds);
            }
            if (ClickToggle(widgets[OptionsSoundOn], widgets[OptionsSoundOff])) {
                SoundEnabled = !SoundEnabled;
                Platform.delay(ClickPauseMilliseconds);
                FollowSoundSetting();
            }
            if (ClickBrightness(widgets)) {
                Platform.delay(ClickPauseMilliseconds);
                Platform.setWindowBrightness(MainWindow, BrightnessFactor(Brightness));
            }
            if (ShowsActive(widgets[OptionsOk])) {
                running = false;
                result = restartNeeded ? OptionsNeedRestart : OptionsAccepted;
                Platform.delay(LeavePauseMilliseconds);
            }
        }
        // A quit request leaves as Escape does but at once: the shutdown saves the settings.
        if (QuitRequested()) {
            return OptionsLeftByEscape;
        }
        if (EscapeHeld(InputSnapshot)) {
            Platform.delay(LeavePauseMilliseconds);
            return OptionsLeftByEscape;
        }
        if (!running) {
            return result;
        }
    }
}
