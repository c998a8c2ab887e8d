#include "screens/RestartNotice.h"

#include "app/Input.h"
#include "app/Platform.h"
#include "app/Program.h"
#include "app/WindowSight.h"
#include "platform/System.h"
#include "render/GLEntryPoints.h"
#include "screens/MenuWidget.h"

void RunRestartNotice(const Targa& pointer) {
    const MenuWidget widgets[] = {
        MakePictureWidget(MenuPicture::Header, -0.5f, 0.55f, 0.5f, 0.2f),
        MakePictureWidget(MenuPicture::RestartNotice, -0.4f, 0.1f, 0.4f, -0.5f),
    };
    bool leave = false;
    BeginScreenInput();
    while (!leave) {
        PumpInput();
        TakeInputSnapshot();
        MoveMenuPointer(InputSnapshot.mouse);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glColor3f(1.0f, 1.0f, 1.0f);
        for (const MenuWidget& widget : widgets) {
            DrawMenuWidget(widget);
        }
        DrawMenuPointer(pointer);
        ShowFrame();
        leave = LeftButtonHeld(InputSnapshot) || AnyKeyHeld(InputSnapshot) ||
                (InputSnapshot.pad.buttons[PadButtonA] & HeldBit) != 0 || QuitRequested();
    }
    if (!QuitRequested()) {
        Platform.delay(LeavePauseMilliseconds);
    }
}
