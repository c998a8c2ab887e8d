#include "app/Program.h"

#include <cstdio>

#include "app/AssetFiles.h"
#include "app/Clock.h"
#include "app/Desktop.h"
#include "app/Input.h"
#include "app/Platform.h"
#include "app/WindowSight.h"
#include "audio/ALEntryPoints.h"
#include "audio/AudioDevice.h"
#include "audio/OggVorbis.h"
#include "audio/ShipSounds.h"
#include "game/GameFlow.h"
#include "game/GameRecord.h"
#include "game/LevelScreens.h"
#include "platform/System.h"
#include "render/AssetCatalogue.h"
#include "render/Font.h"
#include "render/GLEntryPoints.h"
#include "screens/MainMenu.h"
#include "screens/PresenterScreen.h"
#include "screens/TitleScreen.h"
#include "settings/Settings.h"
#include "settings/SettingsValues.h"

SDL_Window* MainWindow = nullptr;
SDL_GLContext MainContext = nullptr;
bool FullScreen = false;

namespace {

constexpr char WindowTitle[] = "Brindle's Cataclysm";
constexpr Uint32 SdlSubsystems =
    SDL_INIT_TIMER | SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS;

// Start-up stops at the first failure; the message names it for the player.
bool Fail(const char* what, const char* detail) {
    std::fprintf(stderr, "brindles-cataclysm: %s%s%s\n", what, detail[0] != '\0' ? ": " : "",
                 detail);
    return false;
}

void SetContextAttributes(bool multisample) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, multisample ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, multisample ? 4 : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 1);
}

// The window and its context, with 4x multisampling when the system offers it.
bool CreateWindowAndContext() {
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (FullScreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
    }
    for (bool multisample : {true, false}) {
        SetContextAttributes(multisample);
        MainWindow = SDL_CreateWindow(WindowTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      ScreenWidth, ScreenHeight, flags);
        if (MainWindow == nullptr) {
            continue;
        }
        MainContext = SDL_GL_CreateContext(MainWindow);
        if (MainContext != nullptr) {
            SDL_GL_MakeCurrent(MainWindow, MainContext);
            SDL_ShowWindow(MainWindow);
            return true;
        }
        SDL_DestroyWindow(MainWindow);
        MainWindow = nullptr;
    }
    return Fail("cannot create an OpenGL 3.3 compatibility window", SDL_GetError());
}

// Asks the driver to show each frame at a refresh of the display: adaptive sync, which shows a
// frame that missed its refresh at once instead of holding it for the next, else plain sync. A
// driver may refuse both, or grant them and not hold the swaps back; the game runs all the same,
// and ShowFrame then keeps the frames to the refresh rate itself.
void AskForVerticalSync() {
    if (SDL_GL_SetSwapInterval(-1) != 0) {
        SDL_GL_SetSwapInterval(1);
    }
}

bool LoadGL() {
    if (GLEntryPointsLoaded) {
        return true;
    }
    GLLibrary = SDL_LoadObject(GLLibraryName);
    if (GLLibrary == nullptr) {
        return Fail("cannot load the OpenGL library", SDL_GetError());
    }
    if (LoadGLEntryPoints() != GLEntryPointsLoadedOk) {
        ClearPublishedGLEntryPoints();
        ClearStagedGLEntryPoints();
        SDL_UnloadObject(GLLibrary);
        GLLibrary = nullptr;
        return Fail("the OpenGL library lacks the core function", MissingGLEntryPoint());
    }
    PublishGLEntryPoints();
    GLEntryPointsLoaded = true;
    return true;
}

bool LoadAL() {
    if (ALEntryPointsLoaded) {
        return true;
    }
    ALLibrary = SDL_LoadObject(ALLibraryName);
    if (ALLibrary == nullptr) {
        return Fail("cannot load the OpenAL Soft library", SDL_GetError());
    }
    if (LoadALEntryPoints() != ALEntryPointsLoadedOk) {
        ClearPublishedALEntryPoints();
        ClearStagedALEntryPoints();
        SDL_UnloadObject(ALLibrary);
        ALLibrary = nullptr;
        return Fail("the OpenAL library lacks the function", MissingALEntryPoint());
    }
    PublishALEntryPoints();
    ALEntryPointsLoaded = true;
    return true;
}

// The picture keeps its 4:3 shape in a window of any shape. glClear is not bounded by the
// viewport, so every frame still clears the whole window and the bars beside or above the
// picture stay black.
void SetGameViewport() {
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(MainWindow, &width, &height);
    if (width <= 0 || height <= 0) {
        width = ScreenWidth;
        height = ScreenHeight;
    }
    ViewportRect viewport = CentredFourByThree(width, height);
    glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
}

// One line on stdout about the context we got: the first thing to look at when the game runs
// slowly on a software renderer.
void ReportContext() {
    const GLubyte* version = glGetString(GL_VERSION);
    const GLubyte* renderer = glGetString(GL_RENDERER);
    std::printf("Brindle's Cataclysm: OpenGL %s on %s\n",
                version ? reinterpret_cast<const char*>(version) : "?",
                renderer ? reinterpret_cast<const char*>(renderer) : "?");
    std::fflush(stdout);
}

// The last moment of a session that ends where the system does not wait for the game to unwind
// (a logoff on Windows): the running game's score counts as it would at the game's end, and the
// settings are saved.
void SaveBeforeSessionEnds() {
    TakeScoreAsHighScore();
    SaveSettings();
}

// Everything from the settings to the first menu frame: the window, the libraries, the game's
// resources and the presentation screens, which load the assets. False at the first failure.
bool StartUp() {
    LoadSettings();
    ScreenWidth = 1024;
    ScreenHeight = 768;
    FullScreen = true;
    MainWindow = nullptr;
    // SIGINT and SIGTERM are the program's own quit requests; SDL would turn them into the
    // same SDL_QUIT as the window's close button, which the game ignores.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SdlSubsystems) != 0) {
        return Fail("cannot start SDL", SDL_GetError());
    }
    if (RunsUnseen(SDL_GetCurrentVideoDriver(), SDL_GetHint(SDL_HINT_VIDEODRIVER))) {
        return Fail("no display could be opened",
                    "neither DISPLAY nor WAYLAND_DISPLAY leads to a running desktop");
    }
    // A Wayland compositor never says that it hides the window; it holds the swap back instead.
    const char* videoDriver = SDL_GetCurrentVideoDriver();
    SwapMayStall = videoDriver != nullptr && SDL_strcmp(videoDriver, "wayland") == 0;
    SDL_DisplayMode desktop;
    if (FullScreen && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        ScreenWidth = desktop.w;
        ScreenHeight = desktop.h;
    }
    if (!CreateWindowAndContext() || !LoadGL() || !LoadAL()) {
        return false;
    }
    AskForVerticalSync();
    if (!SetUpAssetRoot()) {
        return Fail("cannot place the asset folder beside the executable", "path too long");
    }
    if (!OpenAudioDevice()) {
        return Fail("cannot open an audio device", "no OpenAL output device opens");
    }
    StartWatchingAudioDevice();
    ReportContext();
    SDL_ShowCursor(0);
    SDL_SetRelativeMouseMode(SDL_TRUE);
    OpenFirstController();
    InitKeyMap();
    SetUpDrawingState();
    GlobalClock = CreateClock();
    CreateGameResources();
    SaveWhenSessionEnds(MainWindow, SaveBeforeSessionEnds);
    ShowPresenterScreen();
    ShowTitleAndLoadingScreen();
    return true;
}

// The menu and the games it starts, until Exit or a quit request.
void RunMenuLoop() {
    while (!QuitRequested() && HandleMenuCode(RunMainMenu())) {
    }
}

// Releases, in reverse, whatever start-up managed to open.
void TearDown() {
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_ShowCursor(1);
    CloseController();
    if (MainWindow != nullptr) {
        SDL_HideWindow(MainWindow);
    }
    if (ALEntryPointsLoaded) {
        StopWatchingAudioDevice();
        CloseAudioDevice();
        ClearStagedALEntryPoints();
        ClearPublishedALEntryPoints();
        SDL_UnloadObject(ALLibrary);
        ALLibrary = nullptr;
        ALEntryPointsLoaded = false;
    }
    if (GLEntryPointsLoaded) {
        ClearStagedGLEntryPoints();
        ClearPublishedGLEntryPoints();
        SDL_UnloadObject(GLLibrary);
        GLLibrary = nullptr;
        GLEntryPointsLoaded = false;
    }
    if (MainContext != nullptr) {
        SDL_GL_DeleteContext(MainContext);
        MainContext = nullptr;
    }
    if (MainWindow != nullptr) {
        SDL_DestroyWindow(MainWindow);
        MainWindow = nullptr;
    }
    SDL_Quit();
    ReleaseQuitRequests();
}

}  // namespace

void SetGameProjection() {
    // A 4:3 perspective whatever the window's shape: f = 1 / tan(22.5 radians), a vertical
    // field of view of about 58.3 degrees, near plane 0.1 and far plane 500.
    static const GLdouble projection[16] = {
        1.3444432401894781,
        0.0,
        0.0,
        0.0,
        0.0,
        1.792590986919304,
        0.0,
        0.0,
        0.0,
        0.0,
        -1.0004000800219661,
        -1.0,
        0.0,
        0.0,
        -0.200040010983025,
        0.0,
    };
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMultMatrixd(projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void SetUpDrawingState() {
    Platform.setWindowBrightness(MainWindow, BrightnessFactor(Brightness));
    SetGameViewport();
    SetGameProjection();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_SMOOTH);
}

void CreateGameResources() {
    GameMusic = new OggVorbis;
    GameMusic->Load(GameMusicPath);
    GameSession = new GameSessionRecord;
    GameSession->clock = GlobalClock;
    LargeFont = new Font;
    LargeFont->Init(1);
    SmallFont = new Font;
    SmallFont->Init(2);
    SetUpLevelTable();
    LevelStartScore = 0;
    FormatHighScoreText();
    LevelScore = 0;
}

void ReleaseGameResources() {
    delete GameMusic;
    GameMusic = nullptr;
    delete LargeFont;
    LargeFont = nullptr;
    delete SmallFont;
    SmallFont = nullptr;
    delete GameSession;
    GameSession = nullptr;
    delete GlobalClock;
    GlobalClock = nullptr;
}

bool HandleMenuCode(MenuCode code) {
    if (code == MenuQuit) {
        return false;
    }
    if (code >= MenuNewGame && code <= MenuLastStartLevel) {
        RunGame(static_cast<uint16_t>(code));
    } else if (code == MenuClearHighScore) {
        HighScore = 0;
        FormatHighScoreText();
    }
    return true;
}

int RunProgram() {
    CatchQuitRequests();
    bool started = StartUp();
    if (started) {
        RunMenuLoop();
        ReleaseAssetCatalogue();
        FreeShipSounds();
        ReleaseGameResources();
        SaveSettings();
    }
    TearDown();
    return started ? 0 : 1;
}
