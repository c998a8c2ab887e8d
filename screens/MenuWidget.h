#pragma once
#include <cstdint>

#include "app/Input.h"
#include "render/MenuPictures.h"
#include "render/Targa.h"

// The depth at which every menu picture and the pointer are drawn.
constexpr float MenuDepth = -1.0f;

// Screens test buttons and keys as held, not as pressed: after a click acts they wait this long
// so that the same press does not act again in the next frame, and this long when they hand
// over to another screen.
constexpr uint32_t ClickPauseMilliseconds = 200;
constexpr uint32_t LeavePauseMilliseconds = 500;

// One textured quad of a menu: a plain picture, or a button that shows its active picture while
// the pointer is over it. The menus keep their widgets as local values; the regions belong to
// the asset catalogue and outlive them.
struct MenuWidget {
    // x, y, z of the corners top-left, top-right, bottom-left, bottom-right. A picture whose
    // corners are given right to left or bottom to top is drawn mirrored or upside down.
    float corners[12] = {};
    uint8_t indices[6] = {0, 1, 2, 2, 1, 3};  // two triangles over the corners
    const TextureRegion* region = nullptr;    // drawn now
    const TextureRegion* normalRegion = nullptr;
    const TextureRegion* activeRegion = nullptr;
    bool visible = true;
};

// A plain picture with its corners at x = left (top-left and bottom-left) and right, y = top
// and bottom, z = MenuDepth.
MenuWidget MakePictureWidget(MenuPicture picture, float left, float top, float right, float bottom);

// A button showing `normal`, and `active` while pointed at; placed as a picture.
MenuWidget MakeButtonWidget(MenuPicture normal, MenuPicture active, float left, float top,
                            float right, float bottom);

// True when x lies strictly between the x of the top-left and top-right corners and y strictly
// between the y of the bottom-left and top-left corners: a point on an edge is outside.
bool MenuWidgetContains(const MenuWidget& widget, float x, float y);

// Draws a visible widget as two textured triangles from client arrays, blended, at full colour;
// an invisible one draws nothing.
void DrawMenuWidget(const MenuWidget& widget);

// The mouse pointer the menus share; it keeps its place from one menu visit to the next.
struct MenuPointerPosition {
    float x = 0.0f;
    float y = 0.0f;
};
extern MenuPointerPosition MenuPointer;

constexpr float MenuPointerLimitX = 0.743f;
constexpr float MenuPointerLimitY = 0.557f;
constexpr float MousePixelsPerUnit = 500.0f;
constexpr float MenuPointerSize = 0.025f;
constexpr const char* MenuPointerPicturePath = "textures/menu/Pointer.tga";
constexpr bool MenuPointerPictureMipmapped = false;

// Moves the pointer by one frame's mouse motion (downwards on the screen moves it down) and
// keeps it within x in [-0.743, 0.743] and y in [-0.557, 0.557].
void MoveMenuPointer(const MouseRecord& motion);

// The point halfway between a widget's left and right edges and between its top and bottom.
MenuPointerPosition MenuWidgetCentre(const MenuWidget& widget);

// Draws the pointer picture as a square of 0.025 units whose top-left corner is the pointer.
void DrawMenuPointer(const Targa& pointer);

// Gives a button its active picture while the pointer is over it, its normal one otherwise.
void HighlightIfPointed(MenuWidget& button);

// True when a button shows its active picture, that is, the pointer was over it when the
// frame's pictures were chosen.
bool ShowsActive(const MenuWidget& button);

// True when the left mouse button is held in this frame's input.
bool LeftButtonHeld(const InputRecord& input);

// True when Escape is held in this frame's input.
bool EscapeHeld(const InputRecord& input);

// True when any key at all is held in this frame's input.
bool AnyKeyHeld(const InputRecord& input);
