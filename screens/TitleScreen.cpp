#include "screens/TitleScreen.h"

#include <cmath>
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
#include "render/ShaderProgram.h"
#include "render/Targa.h"
#include "screens/PictureQuad.h"
#include "settings/SettingsValues.h"

namespace {

constexpr float RadiansPerDegree = 0.017453292f;
constexpr float FadeDegreesPerSecond = 36.0f;

// The whole title picture, filling the view.
constexpr PictureQuad TitleQuad{-1.0f, 1.0f, 1.0f, -1.0f, -2.5f, 0.0f, 1.0f, 0.0f, 1.0f};
// The middle band of the loading picture (its word), below the title and farther away.
constexpr PictureQuad LoadingBand{-1.0f, -2.25f, 1.0f, -2.75f, -5.5f, 0.0f, 1.0f, 0.33f, 0.66f};

void EnableBlendedTexturing() {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// The empty green frame of the progress bar under the loading band.
void DrawProgressFrame() {
    constexpr float z = -5.5f;
    glColor3f(0.0f, 0.75f, 0.0f);
    glBegin(GL_LINE_STRIP);
    glVertex3f(-2.0f, -2.75f, z);
    glVertex3f(2.0f, -2.75f, z);
    glVertex3f(2.0f, -3.0f, z);
    glVertex3f(-2.0f, -3.0f, z);
    glVertex3f(-2.0f, -2.75f, z);
    glEnd();
}

}  // namespace

float TitleOpacity(float seconds) {
    if (seconds <= TitleFadeSeconds) {
        return 3.0f * std::sin(FadeDegreesPerSecond * seconds * RadiansPerDegree);
    }
    return 1.0f;
}

void ShowTitleAndLoadingScreen() {
    std::unique_ptr<Clock> clock(CreateClock());
    Targa title;
    title.Load(TitlePicturePath, TitlePicturesMipmapped);
    Targa loading;
    loading.Load(LoadingPicturePath, TitlePicturesMipmapped);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_DEPTH_TEST);
    bool keepGoing = true;
    while (keepGoing && !QuitRequested()) {
        ReadClock(clock.get());
        float seconds = ElapsedSeconds(clock.get());
        PumpInput();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        EnableBlendedTexturing();
        title.Bind();
        glColor4f(1.0f, 1.0f, 1.0f, TitleOpacity(seconds));
        DrawPictureQuad(TitleQuad);
        if (seconds >= TitleFadeSeconds) {
            // Everything loads inside this one frame; the screen shows the full title meanwhile.
            LoadAssetCatalogue();
            LoadShipSounds();
            keepGoing = false;
            EnableBlendedTexturing();
            loading.Bind();
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            DrawPictureQuad(LoadingBand);
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_BLEND);
            DrawProgressFrame();
        }
        ShowFrame();
    }
    if (GlslEnabled && !QuitRequested()) {
        LoadShaderPrograms();
    }
}
