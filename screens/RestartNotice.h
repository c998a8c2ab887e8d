#pragma once
#include "render/Targa.h"

// Tells the player that the GLSL choice takes effect at the next start: the header and the
// notice, with the pointer, until the left button, any key or the controller's A is held (at
// once when one still is), then a pause so that the same press does not act on the menu.
void RunRestartNotice(const Targa& pointer);
