#include "screens/MainMenu.h"

#include <cmath>

#include "app/Clock.h"
#include "app/Input.h"
#include "app/Platform.h"
#include "render/GLEntryPoints.h"

namespace {

// Until the real menu is drawn: a slowly turning star field over the play field, so the window
// shows that the GL table and the projection work.
void DrawStarField(float seconds) {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -25.0f);
    glRotatef(seconds * 4.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_POINTS);
    unsigned state = 12345;
    for (int i = 0; i < 600; ++i) {
        state = state * 1103515245u + 12345u;
        float x = static_cast<float>((state >> 8) % 7100) / 100.0f - 35.5f;
        state = state * 1103515245u + 12345u;
        float y = static_cast<float>((state >> 8) % 5300) / 100.0f - 26.5f;
        float shade = 0.4f + 0.6f * static_cast<float>(i % 7) / 6.0f;
        glColor3f(shade, shade, 0.8f + 0.2f * shade);
        glVertex3f(x, y, 0.0f);
    }
    glEnd();
    glBegin(GL_TRIANGLES);
    float pulse = 0.5f + 0.5f * std::sin(seconds * 2.0f);
    glColor3f(0.9f, 0.5f * pulse + 0.3f, 0.1f);
    glVertex3f(0.0f, 6.0f, 0.0f);
    glColor3f(0.3f, 0.3f, 0.9f);
    glVertex3f(-5.0f, -4.0f, 0.0f);
    glVertex3f(5.0f, -4.0f, 0.0f);
    glEnd();
}

}  // namespace

MenuCode RunMainMenu() {
    RestartClock(GlobalClock);
    for (;;) {
        PumpInput();
        TakeInputSnapshot();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ReadClock(GlobalClock);
        DrawStarField(ElapsedSeconds(GlobalClock));
        Platform.swapWindow(MainWindow);
        if (InputSnapshot.keys[KeyEscape] & HeldBit) {
            return MenuQuit;
        }
    }
}
