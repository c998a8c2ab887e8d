#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/GameRecord.h"
#include "render/GLEntryPoints.h"
#include "tests/support/CallRecorder.h"
#include "tests/support/FrameDriver.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/TempFolder.h"
#include "world/BaseObject.h"

// What one frame of a game screen showed.
struct ShownFrame {
    std::string screen;               // "level", "banner", "summary", "story", "flight",
                                      // "credits", "game over", "game win", or "" for none
    std::vector<std::string> texts;   // every text drawn, in order, whatever its font
    double seconds = 0.0;             // driven time when the frame was shown
    std::vector<RecordedCall> calls;  // every GL call, only while the scene keeps them

    // True when the frame bound the catalogue texture of the path; only while calls are kept.
    bool Binds(const char* path) const;
};

// Everything a game needs, headless: recording GL and AL, driven frames and time, an asset root
// of its own with short ship sounds and one-pixel end pictures, a silent game music, every
// catalogue texture present under a name of its own (so each frame tells which screen drew it,
// and each bound name which picture), the large font, the global clock, the level table, a
// fresh game record and sound on. Every frame is logged; the test's step runs after it. Puts
// everything back afterwards.
class GameScene {
public:
    explicit GameScene(double frameMilliseconds = 20.0);
    ~GameScene();
    GameScene(const GameScene&) = delete;
    GameScene& operator=(const GameScene&) = delete;

    // Runs after each frame is logged, with the frame's number counted from 0.
    std::function<void(int frame)> step;

    // The screens shown, each run of frames of one screen counted once.
    std::vector<std::string> ScreenSequence() const;
    // The number of the first frame that drew the text, or -1 when none did.
    int FirstFrameDrawing(const std::string& text) const;
    bool Drew(const std::string& text) const { return FirstFrameDrawing(text) >= 0; }

    // The catalogue texture name of a path, as glBindTexture receives it: the first name plus
    // the path's row in the catalogue.
    static double TextureName(const char* path);
    static constexpr double FirstCatalogueName = 1000;

    bool keepCalls = false;  // log each frame's GL calls too

    KeptSettings kept;
    TempAssetRoot assets;
    FrameDriver driver;
    std::vector<ShownFrame> frames;
    GameSessionRecord session;

    // The ship's clips in load order, each 64 samples of its own level: 100, 200 and 300. They
    // sound on these sources of the recording AL.
    static constexpr const char* ShipClips[3] = {"sound/ship/BC_shot-laser3.wav",
                                                 "sound/ship/thrust.wav",
                                                 "sound/ship/BC_explosion-debris.wav"};
    static constexpr double LaserSource = 1;
    static constexpr double ThrustSource = 3;
    static constexpr double DebrisSource = 5;

private:
    void LogFrame();

    std::map<double, std::string> screenOfTexture;
    GameSessionRecord* savedSession;
};

// The text one glCallLists call drew, in whichever font size its lists belong to.
std::string TextOf(const std::vector<GLuint>& lists);

// Holds or releases a key from a step; the frame loop sees it at its next input pump.
void HoldKey(SDL_Scancode key);
void ReleaseKey(SDL_Scancode key);
