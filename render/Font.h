#pragma once
#include <cstdint>

#include "render/Targa.h"

// The monospaced bitmap font: a 16 x 16 grid of glyphs in "fonts/default.tga", the space
// character in the top-left cell and the codes in order from there. Text is placed in cells of
// a screen grid counted from the bottom-left: 40 x 30 cells for size 1, 80 x 60 for size 2,
// 160 x 120 for size 3, whatever the window's size.
class Font {
public:
    Font() = default;
    ~Font();  // the last font to go deletes the shared glyph lists
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Loads and binds the image and builds the shared glyph lists of all three sizes if they
    // are not built yet (with the window size of that moment). The image's result is not
    // checked: without it text draws untextured.
    void Init(int32_t size);

    // Draws text with its first cell at (x, y) in the current colour, added onto what is
    // there. Leaves blending (additive) and texturing enabled; depth testing is restored.
    // Bytes below 32 draw a blank cell.
    void DrawText(uint32_t x, uint32_t y, const char* text);

    Targa image;
    int32_t size = 0;
};

// What all fonts share: one set of 256 glyph display lists per size, each glyph a textured
// cell that moves the pen one cell to the right.
struct FontListsRecord {
    GLuint glyphListBase[4] = {};  // indexed by size 1 to 3
    bool listsBuilt = false;
    int32_t fontCount = 0;  // fonts initialised and not yet destroyed
};
extern FontListsRecord FontLists;

// The long-lived fonts, made at start-up and destroyed at shutdown.
extern Font* LargeFont;  // size 1: level banner, new high score
extern Font* SmallFont;  // size 2: the main menu's high score

constexpr const char* FontImagePath = "fonts/default.tga";
constexpr bool FontImageMipmapped = false;

// The width and height in pixels of one cell of a size, from the window's size.
float FontCellWidth(int32_t size);
float FontCellHeight(int32_t size);
