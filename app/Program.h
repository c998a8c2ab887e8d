#pragma once
#include <SDL.h>
#include <cstdint>

// The one window and its GL context; they live from start-up to the teardown.
extern SDL_Window* MainWindow;
extern SDL_GLContext MainContext;
extern bool FullScreen;  // the window covers the desktop at its resolution

// What the main menu asks for. 0 starts a new game with its opening, 1 to 15 start directly at
// that level, 16 clears the high score, 17 quits; any other value shows the menu again.
using MenuCode = int32_t;
constexpr MenuCode MenuNewGame = 0;
constexpr MenuCode MenuLastStartLevel = 15;  // 1 to 15 start a game at that level
constexpr MenuCode MenuClearHighScore = 16;
constexpr MenuCode MenuQuit = 17;
constexpr MenuCode MenuShowAgain = 18;

constexpr const char* GameMusicPath = "sound/music/BC_upbeat-tech.ogg";

// The long-lived resources of play, made once the clock exists and released after the asset
// catalogue: the in-game music, the game record, the large and small fonts, the level table and
// the counters.
void CreateGameResources();
void ReleaseGameResources();

// Carries out one menu code (a whole game for 0 to 15); false when the program should leave the
// menu loop.
bool HandleMenuCode(MenuCode code);

// The whole program: start-up, presentation, the menu loop, release and teardown. 0 after a
// normal quit; 1 when start-up failed, after one line on stderr naming what failed.
int RunProgram();

// Sets the fixed perspective projection that every 3-D scene of the game uses.
void SetGameProjection();

// What every screen draws with, set once at start-up: the window's brightness from the
// setting, the viewport (the largest centred 4:3 rectangle of the window, all of a 4:3 one),
// the fixed projection, a black clear colour, the depth test (GL_LEQUAL) and smooth shading.
void SetUpDrawingState();
