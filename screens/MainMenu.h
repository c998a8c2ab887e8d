#pragma once
#include <array>
#include <cstddef>
#include <string>

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
// The line that says the settings are not being saved: the grid's bottom row, below the
// footer picture's text, from the second cell to the last but one.
constexpr uint32_t NotSavedLineColumn = 1;
constexpr uint32_t NotSavedLineRow = 0;
constexpr size_t NotSavedLineCells = 78;

// "Settings are not being saved: " and the reason, cut in its middle, where "..." stands for
// what is left out, when the whole would take more than NotSavedLineCells cells.
std::string NotSavedLine(const std::string& reason);
constexpr const char* MenuMusicPath = "sound/music/BC_menu.ogg";

// Runs the main menu, with its music from the beginning, until the player clicks Start
// (MenuNewGame) or Exit, or holds Escape, or a quit is requested (MenuQuit, at the end of that
// frame). The pointer follows the mouse, and the keys and the controller step it from button to
// button and click (see MenuKeys). Meanwhile the options menu opens from it, after which the
// settings are saved unless it was left by Escape, and the high score can be cleared. The music
// is stopped and gone when it returns.
MenuCode RunMainMenu();
