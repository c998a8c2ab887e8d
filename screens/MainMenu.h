#pragma once
#include <array>

#include "app/Program.h"
#include "screens/MenuWidget.h"

// The main menu's widgets in drawing order.
enum MainMenuWidgetIndex : int {
    MainMenuHeader,
    MainMenuShip,
    MainMenuStart,
    MainMenuExit,
    MainMenuOptions,
    MainMenuClearHighScore,
    MainMenuDisclaimer,
    MainMenuAsteroid,  // turned by half a turn
    MainMenuPc,
    MainMenuWidgetCount
};
using MainMenuWidgets = std::array<MenuWidget, MainMenuWidgetCount>;

// The nine widgets in their places, every button showing its normal picture. Needs the menu
// pictures of the asset catalogue.
MainMenuWidgets BuildMainMenuWidgets();

// The high-score line's cell in the small font's 80 x 60 grid.
constexpr uint32_t HighScoreLineColumn = 30;
constexpr uint32_t HighScoreLineRow = 7;
constexpr const char* MenuMusicPath = "sound/music/BC_menu.ogg";

// Runs the main menu, with its music from the beginning, until the player clicks Start
// (MenuNewGame) or Exit, or holds Escape, or a quit is requested (MenuQuit, at the end of that
// frame). The pointer follows the mouse, and the keys and the controller step it from button to
// button and click (see MenuKeys). Meanwhile the options menu opens from it, after which the
// settings are saved unless it was left by Escape, and the high score can be cleared. The music
// is stopped and gone when it returns.
MenuCode RunMainMenu();
