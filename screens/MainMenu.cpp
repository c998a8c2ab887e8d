#include "screens/MainMenu.h"

#include <cmath>

#include "app/Clock.h"
#include "app/Input.h"
#include "app/Platform.h"
#include "render/AssetCatalogue.h"
#include "render/Font.h"
#include "render/GLEntryPoints.h"
#include "render/MenuPictures.h"
#include "render/ShaderProgram.h"
#include "settings/SettingsValues.h"

namespace {

// Until the real menu and loading screen exist: load the catalogue on the first visit and show
// a few of its pictures over the play-field background, so the window shows that images,
// bundles, shaders and text work.
void Quad(float left, float top, float right, float bottom, float z, bool tAtTop) {
    float tTop = tAtTop ? 1.0f : 0.0f;
    float tBottom = 1.0f - tTop;
    glBegin(GL_TRIANGLES);
    glTexCoord2f(0, tTop);
    glVertex3f(left, top, z);
    glTexCoord2f(1, tTop);
    glVertex3f(right, top, z);
    glTexCoord2f(0, tBottom);
    glVertex3f(left, bottom, z);
    glTexCoord2f(0, tBottom);
    glVertex3f(left, bottom, z);
    glTexCoord2f(1, tTop);
    glVertex3f(right, top, z);
    glTexCoord2f(1, tBottom);
    glVertex3f(right, bottom, z);
    glEnd();
}

void DrawSprite(Targa* colour, Targa* normal, float x, float y, float half, float angle,
                bool tAtTop) {
    glLoadIdentity();
    glTranslatef(x, y, -25.0f);
    glRotatef(angle, 0, 0, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    bool lit = normal != nullptr && DefaultProgram != nullptr && DefaultProgram->Usable();
    if (lit) {
        glActiveTexture(GL_TEXTURE1);
        normal->Bind();
        glActiveTexture(GL_TEXTURE0);
        colour->Bind();
        GLuint program = DefaultProgram->program;
        glUseProgram(program);
        double a = angle * 0.017453292519943295;
        glUniform1i(glGetUniformLocation(program, "texture0"), 0);
        glUniform1i(glGetUniformLocation(program, "texture1"), 1);
        glUniform3f(glGetUniformLocation(program, "LightPosition"), std::cos(a) * 0.2,
                    std::sin(a) * 0.2, 0.35f);
        glUniform1f(glGetUniformLocation(program, "SpecularFactor"), 0.25f);
    } else {
        colour->Bind();
    }
    Quad(-half, half, half, -half, -25.0f, tAtTop);
    if (lit) {
        glUseProgram(0);
        glActiveTexture(GL_TEXTURE1);
        glDisable(GL_TEXTURE_2D);
        glActiveTexture(GL_TEXTURE0);
    }
    glDisable(GL_TEXTURE_2D);
}

void DrawRegion(MenuPicture picture, float left, float top, float right, float bottom) {
    const TextureRegion& region = MenuRegion(picture);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    region.bundle->Bind();
    const float* c = region.corners;
    glBegin(GL_TRIANGLES);
    glTexCoord2f(c[0], c[1]);
    glVertex3f(left, top, -1);
    glTexCoord2f(c[2], c[3]);
    glVertex3f(right, top, -1);
    glTexCoord2f(c[4], c[5]);
    glVertex3f(left, bottom, -1);
    glTexCoord2f(c[4], c[5]);
    glVertex3f(left, bottom, -1);
    glTexCoord2f(c[2], c[3]);
    glVertex3f(right, top, -1);
    glTexCoord2f(c[6], c[7]);
    glVertex3f(right, bottom, -1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void DrawShowcase(float seconds) {
    glLoadIdentity();
    glDepthMask(GL_FALSE);
    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    Catalogue.background->Bind();
    Quad(-1.33f, 1, 1.33f, -1, -1.5f, true);
    glDisable(GL_TEXTURE_2D);
    bool glsl = GlslEnabled;
    for (int i = 0; i < 3; ++i) {
        float half = 0.5f * static_cast<float>(1 << i);
        Targa* colour = glsl ? Catalogue.glslAsteroid[i] : Catalogue.asteroid[i];
        Targa* normal = glsl ? Catalogue.glslAsteroidNormal[i] : nullptr;
        DrawSprite(colour, normal, -26.0f + i * 7.0f, 8.0f, half, seconds * 30.0f, false);
    }
    DrawSprite(Catalogue.finalAsteroid, nullptr, 24.0f, 10.0f, 9.0f, seconds * 10.0f, false);
    DrawSprite(Catalogue.ship, nullptr, 0.0f, -6.0f, 2.0f, seconds * 20.0f, true);
    Targa* pickups[4] = {Catalogue.powerInvuln, Catalogue.powerLongRange, Catalogue.powerSpread,
                         Catalogue.powerStarburst};
    for (int i = 0; i < 4; ++i) {
        DrawSprite(pickups[i], nullptr, -9.0f + i * 4.0f, -16.0f, 1.0f, 0.0f, i > 0);
    }
    DrawRegion(MenuPicture::Header, -0.5f, 0.55f, 0.5f, 0.2f);
    DrawRegion(MenuPicture::StartNormal, -0.15f, 0.2f, 0.15f, 0.07f);
    DrawRegion(MenuPicture::StartActive, 0.2f, 0.2f, 0.5f, 0.07f);
    glColor3f(0.77f, 0.77f, 0.99f);
    SmallFont->DrawText(1, 1, "Lives:3 Level:1 Score:0 Powerup: Shield:");
    glColor3f(0.25f, 0.95f, 0.25f);
    SmallFont->DrawText(30, 7, HighScoreText);
    glColor3f(0.8f, 0.8f, 0.1f);
    LargeFont->DrawText(2, 28, "Level: 1");
    glDepthMask(GL_TRUE);
}

}  // namespace

MenuCode RunMainMenu() {
    if (Catalogue.background == nullptr) {
        LoadAssetCatalogue();
        LoadShaderPrograms();
    }
    RestartClock(GlobalClock);
    for (;;) {
        PumpInput();
        TakeInputSnapshot();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ReadClock(GlobalClock);
        DrawShowcase(ElapsedSeconds(GlobalClock));
        Platform.swapWindow(MainWindow);
        if (InputSnapshot.keys[KeyEscape] & HeldBit) {
            return MenuQuit;
        }
    }
}
