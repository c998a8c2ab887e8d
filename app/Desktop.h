#pragma once

// What the desktop gives the game: a window of its own shape, and a video driver that may show
// nothing at all.

// The part of the window the game draws in, in pixels from the bottom-left corner.
struct ViewportRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest 4:3 rectangle centred in a window of the given size: the game's projection is
// fixed at 4:3, so a wider window gets black bars left and right (pillar-box) and a taller one
// above and below (letter-box), and the picture keeps its shape. A 4:3 window is used whole.
ViewportRect CentredFourByThree(int windowWidth, int windowHeight);

// True when SDL's video driver is one that shows nothing ("offscreen" or "dummy", in any case)
// and the player did not name it in SDL_VIDEODRIVER (`requested`, a comma-separated list, or
// null): with no display to open, SDL falls back to such a driver by itself, and the game would
// run unseen.
bool RunsUnseen(const char* driver, const char* requested);
