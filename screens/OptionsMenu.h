#pragma once
#include <array>
#include <cstdint>

#include "screens/MenuWidget.h"

// How the options menu was left, and so what the main menu does next.
using OptionsResult = int32_t;
constexpr OptionsResult OptionsAccepted = 19;      // OK: save the settings
constexpr OptionsResult OptionsLeftByEscape = 20;  // the changes stay for this run, unsaved
constexpr OptionsResult OptionsNeedRestart = 21;   // OK after a GLSL click: notice, then save

// The options menu's widgets in drawing order. Each two-valued option has an On and an Off
// button in the same place, and the brightness one button per level; only the one showing the
// current value is visible.
enum OptionsWidgetIndex : int {
    OptionsShip,      // mirrored
    OptionsAsteroid,  // upside down
    OptionsHeader,
    OptionsGlslLabel,
    OptionsGlslOn,
    OptionsGlslOff,
    OptionsSoundLabel,
    OptionsSoundOn,
    OptionsSoundOff,
    OptionsBrightnessLabel,
    OptionsBrightnessHigh,
    OptionsBrightnessMedium,
    OptionsBrightnessLow,
    OptionsOk,
    OptionsWidgetCount
};
using OptionsWidgets = std::array<MenuWidget, OptionsWidgetCount>;

// The fourteen widgets in their places, the option buttons visible as GlslChoice, SoundEnabled
// and Brightness stand. A brightness level other than 0, 1 or 2 shows no brightness button.
OptionsWidgets BuildOptionsWidgets();

// The brightness after a click on the button of `level`: High (0) goes to Low (2), Low to
// Medium (1), Medium to High.
int32_t NextBrightness(int32_t level);

// Runs the options menu with the main menu's pointer picture until OK or Escape (or a quit
// request, which it answers at once as Escape, without the pause). The keys and the controller
// step the pointer through the visible buttons, top down, and click as the main menu's do.
// Clicks change GlslChoice (which takes effect at the next start), SoundEnabled (stopping or
// restarting the menu music at once) and Brightness (applied to the window at once).
OptionsResult RunOptionsMenu(const Targa& pointer);
