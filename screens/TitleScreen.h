#pragma once

// The title fades in for this long; the assets load in the first frame at or after it.
constexpr float TitleFadeSeconds = 1.5f;
constexpr const char* TitlePicturePath = "textures/presentation/titlescreen.tga";
constexpr const char* LoadingPicturePath = "textures/presentation/loading.tga";
constexpr bool TitlePicturesMipmapped = true;  // both of them

// The title's opacity at t seconds: three times the sine of 36 t degrees during the fade (full
// from about 0.54 s), then 1.
float TitleOpacity(float seconds);

// The second screen after start-up: the title picture fades in; in the first frame at or after
// 1.5 s the asset catalogue and the ship sounds load, that frame adds the loading band and its
// progress frame, and the shader programs (with GlslEnabled) are built while it stays on the
// screen. Ignores input but keeps pumping it. A quit request before the loading frame returns
// with nothing loaded, and one during the loading skips the shader programs. Leaves depth
// testing, texturing and blending disabled for the menus.
void ShowTitleAndLoadingScreen();
