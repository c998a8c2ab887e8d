#include "screens/MenuWidget.h"

#include <algorithm>

#include "render/GLEntryPoints.h"
#include "screens/PictureQuad.h"

MenuPointerPosition MenuPointer;

namespace {

enum Corner { TopLeft = 0, TopRight = 1, BottomLeft = 2, BottomRight = 3 };

float CornerX(const MenuWidget& widget, Corner corner) {
    return widget.corners[3 * corner];
}

float CornerY(const MenuWidget& widget, Corner corner) {
    return widget.corners[3 * corner + 1];
}

void SetCorner(MenuWidget& widget, Corner corner, float x, float y) {
    widget.corners[3 * corner] = x;
    widget.corners[3 * corner + 1] = y;
    widget.corners[3 * corner + 2] = MenuDepth;
}

bool StrictlyBetween(float value, float a, float b) {
    return value > std::min(a, b) && value < std::max(a, b);
}

}  // namespace

MenuWidget MakePictureWidget(MenuPicture picture, float left, float top, float right,
                             float bottom) {
    return MakeButtonWidget(picture, picture, left, top, right, bottom);
}

MenuWidget MakeButtonWidget(MenuPicture normal, MenuPicture active, float left, float top,
                            float right, float bottom) {
    MenuWidget widget;
    SetCorner(widget, TopLeft, left, top);
    SetCorner(widget, TopRight, right, top);
    SetCorner(widget, BottomLeft, left, bottom);
    SetCorner(widget, BottomRight, right, bottom);
    widget.normalRegion = &MenuRegion(normal);
    widget.activeRegion = &MenuRegion(active);
    widget.region = widget.normalRegion;
    return widget;
}

bool MenuWidgetContains(const MenuWidget& widget, float x, float y) {
    return StrictlyBetween(x, CornerX(widget, TopLeft), CornerX(widget, TopRight)) &&
           StrictlyBetween(y, CornerY(widget, BottomLeft), CornerY(widget, TopLeft));
}

MenuPointerPosition MenuWidgetCentre(const MenuWidget& widget) {
    return MenuPointerPosition{(CornerX(widget, TopLeft) + CornerX(widget, TopRight)) / 2.0f,
                               (CornerY(widget, TopLeft) + CornerY(widget, BottomLeft)) / 2.0f};
}

void DrawMenuWidget(const MenuWidget& widget) {
    if (!widget.visible) {
        return;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, widget.corners);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    widget.region->bundle->Bind();
    glTexCoordPointer(2, GL_FLOAT, 0, widget.region->corners);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_BYTE, widget.indices);
}

void MoveMenuPointer(const MouseRecord& motion) {
    MenuPointer.x += static_cast<float>(motion.dx) / MousePixelsPerUnit;
    MenuPointer.y -= static_cast<float>(motion.dy) / MousePixelsPerUnit;
    MenuPointer.x = std::clamp(MenuPointer.x, -MenuPointerLimitX, MenuPointerLimitX);
    MenuPointer.y = std::clamp(MenuPointer.y, -MenuPointerLimitY, MenuPointerLimitY);
}

void DrawMenuPointer(const Targa& pointer) {
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    pointer.Bind();
    float x = MenuPointer.x;
    float y = MenuPointer.y;
    DrawPictureQuad({x, y, x + MenuPointerSize, y - MenuPointerSize, MenuDepth});
}

void HighlightIfPointed(MenuWidget& button) {
    bool pointed = MenuWidgetContains(button, MenuPointer.x, MenuPointer.y);
    button.region = pointed ? button.activeRegion : button.normalRegion;
}

bool ShowsActive(const MenuWidget& button) {
    return button.region == button.activeRegion;
}

bool LeftButtonHeld(const InputRecord& input) {
    return (input.mouse.buttons[0] & HeldBit) != 0;
}

bool EscapeHeld(const InputRecord& input) {
    return (input.keys[KeyEscape] & HeldBit) != 0;
}

bool AnyKeyHeld(const InputRecord& input) {
    for (uint8_t key : input.keys) {
        if ((key & HeldBit) != 0) {
            return true;
        }
    }
    return false;
}
