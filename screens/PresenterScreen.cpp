#include "screens/PresenterScreen.h"

#include <cmath>
#include <memory>

#include "app/Clock.h"
#include "app/Input.h"
#include "app/Platform.h"
#include "app/Program.h"
#include "app/WindowSight.h"
#include "platform/System.h"
#include "render/GLEntryPoints.h"
#include "render/Targa.h"
#include "screens/PictureQuad.h"

namespace {

constexpr float RadiansPerDegree = 0.017453292f;
constexpr float FadeDegreesPerSecond = 36.0f;  // half a sine wave over the five seconds
constexpr float PictureDepth = -2.5f;

}  // namespace

float PresenterOpacity(float seconds) {
    float wave = std::sin(FadeDegreesPerSecond * seconds * RadiansPerDegree);
    if (seconds <= PresenterSeconds / 2.0f) {
        return 3.0f * wave;
    }
    return wave * wave * wave;
}

float PresenterSlide(float seconds) {
    if (seconds <= PresenterSlideSeconds) {
        return 2.5f - 2.0f * seconds;
    }
    return 0.0f;
}

void ShowPresenterScreen() {
    std::unique_ptr<Clock> clock(CreateClock());
    Targa picture;
    picture.Load(PresenterPicturePath, PresenterPictureMipmapped);
    picture.Bind();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    float seconds = 0.0f;
    do {
        ReadClock(clock.get());
        seconds = ElapsedSeconds(clock.get());
        PumpInput();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glColor4f(1.0f, 1.0f, 1.0f, PresenterOpacity(seconds));
        float slide = PresenterSlide(seconds);
        // The upper half of the picture comes in from the left, the lower half from the right.
        DrawPictureQuad(
            {-slide - 1.0f, 1.0f, -slide + 1.0f, 0.0f, PictureDepth, 0.0f, 1.0f, 0.5f, 1.0f});
        DrawPictureQuad(
            {slide - 1.0f, 0.0f, slide + 1.0f, -1.0f, PictureDepth, 0.0f, 1.0f, 0.0f, 0.5f});
        ShowFrame();
    } while (seconds < PresenterSeconds && !QuitRequested());
}
