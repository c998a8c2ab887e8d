#pragma once

// How long the presenter screen lasts: it ends with the first frame at or after this time.
constexpr float PresenterSeconds = 5.0f;
constexpr float PresenterSlideSeconds = 1.25f;  // the two halves meet at this time
constexpr const char* PresenterPicturePath = "textures/presentation/titlepresents.tga";
constexpr bool PresenterPictureMipmapped = true;

// The presenter's opacity at t seconds: it rises three times as fast as the sine of 36 t
// degrees for the first half (full from about 0.54 s) and falls as its cube in the second
// half, reaching 0 at 5 s. Values above 1 are left to GL to clamp.
float PresenterOpacity(float seconds);

// How far the lower half of the picture is shifted to the right at t seconds (the upper half
// is shifted as far to the left): 2.5 units at 0, nothing from 1.25 s on.
float PresenterSlide(float seconds);

// The first screen after start-up: the presenter picture, cut into an upper half that slides in
// from the left and a lower half from the right, fading in and out. Ignores input but keeps
// pumping it; returns with the first frame at or after five seconds, or after a quit request.
// Leaves texturing and blending enabled.
void ShowPresenterScreen();
