#include "game/StoryScreens.h"

#include <memory>

#include "app/Clock.h"
#include "app/Input.h"
#include "app/Platform.h"
#include "app/Program.h"
#include "app/WindowSight.h"
#include "audio/ShipSounds.h"
#include "platform/System.h"
#include "render/AssetCatalogue.h"
#include "render/GLEntryPoints.h"
#include "screens/PictureQuad.h"
#include "world/SpriteDrawing.h"

namespace {

constexpr float StoryLeft = -1.33f;
constexpr float StoryRight = 1.33f;
constexpr float StoryDepth = -1.8f;

// The full-screen picture with the texture as stored.
constexpr PictureQuad StoryQuad{StoryLeft, 1.0f, StoryRight, -1.0f, StoryDepth,
                                0.0f,      1.0f, 0.0f,       1.0f};

bool Held(uint8_t state) {
    return (state & HeldBit) != 0;
}

// Runs one story screen: each frame shows the picture on the quad that quadAt gives for the
// screen's time (nothing when it gives false), until the frame at or after `seconds` or a held
// skip key (Escape, Space and, when padSkips, pad button X), which pauses before leaving; a key
// held from the screen before skips only once pressed anew. It shows no frame once a quit is
// requested.
template <typename QuadAt>
void RunStoryScreen(const Targa* picture, float seconds, bool padSkips, QuadAt quadAt) {
    BeginScreenInput();
    std::unique_ptr<Clock> clock(CreateClock());
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    InputRecord input;
    while (!QuitRequested()) {
        ReadClock(clock.get());
        float t = ElapsedSeconds(clock.get());
        PumpInput();
        CopyInput(input);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        BindTexture(picture);
        PictureQuad quad;
        if (quadAt(t, quad)) {
            DrawPictureQuad(quad);
        }
        ShowFrame();
        bool skip = Held(input.keys[KeyEscape]) || Held(input.keys[KeySpace]) ||
                    (padSkips && Held(input.pad.buttons[PadButtonX]));
        if (skip) {
            Platform.delay(SkipPauseMilliseconds);
            return;
        }
        if (t >= seconds) {
            return;
        }
    }
}

}  // namespace

float CreditsScroll(float seconds) {
    float t = seconds < 0.01f ? 0.01f : seconds;
    return t / CreditsSeconds * 4.0f - 2.0f;
}

void ShowStoryIntro() {
    RunStoryScreen(Catalogue.storyFrame1, StoryIntroSeconds, true, [](float, PictureQuad& quad) {
        quad = StoryQuad;
        return true;
    });
}

void ShowFlightFrame(int variant) {
    PictureQuad flight = StoryQuad;
    bool shown = true;
    switch (variant) {
        case 0:
            break;
        case 1:  // mirrored left to right
            flight.uLeft = 1.0f;
            flight.uRight = 0.0f;
            break;
        case 2:  // upside down
            flight.vTop = 0.0f;
            flight.vBottom = 1.0f;
            break;
        default:
            shown = false;
            break;
    }
    if (ThrustSound != nullptr) {
        ThrustSound->Play(true);
    }
    RunStoryScreen(Catalogue.storyFrame2, FlightFrameSeconds, true,
                   [flight, shown](float, PictureQuad& quad) {
                       quad = flight;
                       return shown;
                   });
    if (ThrustSound != nullptr) {
        ThrustSound->Stop();
    }
}

void ShowCredits() {
    RunStoryScreen(Catalogue.credits, CreditsSeconds, false, [](float t, PictureQuad& quad) {
        float p = CreditsScroll(t);
        quad = StoryQuad;
        quad.top = p + 1.0f;
        quad.bottom = p - 1.0f;
        return true;
    });
}
